#pragma once

#include "framework/gui/control.h"

class QRadioButton;

// Exclusive within its parent (the window or a group box).
class RadioButton : public DesignedControl<RadioButton, QRadioButton> {
public:
    RadioButton();
    // The button's own design values, after the head.
    struct Design {
        bool value { false };
        DesignFont font {};
    };
    static String DesignListOf(const DesignHead& head, const Design& design);

    String Caption() const;
    void Caption(const String& value);
    bool Value() const;
    // True checks this button and unchecks its siblings.
    void Value(bool value);

    // Raised only for the button that becomes checked.
    std::function<void(RadioButton&)> OnAction;

protected:
    QRadioButton* radioButton() const;

private:
    friend DesignedControl<RadioButton, QRadioButton>;
    static void DeclareProperties(DesignTable<RectControl>& table);
};
