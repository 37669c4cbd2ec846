#pragma once

#include "framework/gui/captioned_control.h"
#include "framework/gui/designed_control.h"

class QRadioButton;

// Exclusive within its parent (the window or a group box).
class RadioButton : public DesignedControl<RadioButton, QRadioButton, CaptionedControl> {
public:
    RadioButton();
    // The button's own design values, after the head.
    struct Design {
        bool value { false };
        DesignFont font {};
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

    bool Value() const;
    // True checks this button and unchecks its siblings.
    void Value(bool value);

    // Raised only for the button that becomes checked.
    std::function<void(RadioButton&)> OnAction;
};
