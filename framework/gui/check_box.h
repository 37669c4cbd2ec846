#pragma once

#include "framework/gui/designed_control.h"

class QCheckBox;

class CheckBox : public DesignedControl<CheckBox, QCheckBox> {
public:
    CheckBox();
    // The box's own design values, after the head; unticked by default.
    struct Design {
        int32_t state { 0 };
        bool value { false };
        DesignFont font {};
    };

    String Caption() const;
    void Caption(const String& value);
    bool Value() const;
    void Value(bool value);
    // 0 unchecked, 1 checked, 2 indeterminate.
    int32_t State() const;
    void State(int32_t value);

    // Raised when the value changes, by the user or by code.
    std::function<void(CheckBox&)> OnAction;

private:
    friend DesignedControl<CheckBox, QCheckBox>;
    static void DeclareProperties(ControlTable<Design>& table);
};
