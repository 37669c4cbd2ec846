#pragma once

#include "framework/gui/control.h"

class QCheckBox;

class CheckBox : public RectControl {
public:
    CheckBox();
    static DesignTypeOf DesignTypes();

    String Caption() const;
    void Caption(const String& value);
    bool Value() const;
    void Value(bool value);
    // 0 unchecked, 1 checked, 2 indeterminate.
    int32_t State() const;
    void State(int32_t value);

    // Raised when the value changes, by the user or by code.
    std::function<void(CheckBox&)> OnAction;

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QCheckBox* checkBox() const;
};
