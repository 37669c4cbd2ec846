#pragma once

#include "framework/gui/label.h"

class QLabel;

// A label that reports clicks: MouseDown returns True when the control handled the click; a click
// it does not handle (or with no handler) goes on to the window's MouseDown.
class StaticText : public DesignedControl<StaticText, QLabel, Label> {
public:
    StaticText();
    // A static text's list is a label's with TabStop; its text is a design value.
    static void DeclareProperties(ControlTable<Design>& table);

    std::function<bool(StaticText&, int32_t x, int32_t y)> OnMouseDown;
};
