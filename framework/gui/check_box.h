#pragma once

#include "framework/gui/captioned_control.h"
#include "framework/gui/designed_control.h"

class QCheckBox;

// A check box, raising Action when its value changes.
class CheckBox : public DesignedControl<CheckBox, QCheckBox, CaptionedControl> {
public:
    CheckBox();
    // The box's own design values, after the head; unticked by default.
    struct Design {
        int32_t state { 0 };
        bool value { false };
        DesignFont font {};
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

    bool Value() const;
    void Value(bool value);
    // 0 unchecked, 1 checked, 2 indeterminate.
    int32_t State() const;
    void State(int32_t value);

    // Raised when the value changes, by the user or by code.
    std::function<void(CheckBox&)> OnAction;
};
