#pragma once

#include "framework/gui/label.h"

// A label that reports clicks: MouseDown returns True when the control handled the click; a click
// it does not handle (or with no handler) goes on to the window's MouseDown.
class StaticText : public Label {
public:
    StaticText();
    static DesignTypeOf DesignTypes();

    std::function<bool(StaticText&, int32_t x, int32_t y)> OnMouseDown;

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
};
