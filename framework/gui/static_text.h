#pragma once

#include "framework/gui/label.h"

class QLabel;

// A label that reports clicks: MouseDown returns True when the control handled the click; a click
// it does not handle (or with no handler) goes on to the window's MouseDown.
class StaticText : public DesignedControl<StaticText, QLabel, Label> {
public:
    StaticText();

    std::function<bool(StaticText&, int32_t x, int32_t y)> OnMouseDown;

private:
    friend DesignedControl<StaticText, QLabel, Label>;
    static void DeclareProperties(ControlTable<Design>& table);
};
