#pragma once

#include "framework/gui/control.h"

class QRadioButton;

// Exclusive within its parent (the window or a group box).
class RadioButton : public RectControl {
public:
    RadioButton();
    static DesignTypeOf DesignTypes();

    String Caption() const;
    void Caption(const String& value);
    bool Value() const;
    // True checks this button and unchecks its siblings.
    void Value(bool value);

    // Raised only for the button that becomes checked.
    std::function<void(RadioButton&)> OnAction;

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QRadioButton* radioButton() const;
};
