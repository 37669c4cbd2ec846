#include "framework/radio_button.h"

#include "framework/qt_convert.h"

#include <QRadioButton>

RadioButton::RadioButton()
    : RectControl(new QRadioButton)
{
    // Unchecking the sibling raises nothing: only the member that becomes checked acts.
    QObject::connect(radioButton(), &QRadioButton::toggled, radioButton(), [this](bool checked) {
        if (checked)
            fire(OnAction, *this);
    });
}

const DesignTable<RectControl>& RadioButton::classTable()
{
    static const DesignTable<RectControl> table = [] {
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "TabStop", "Enabled", "Visible", "HelpTag", "AutoDeactivate", "TextFont",
                                "Bold", "Italic", "Underline", "InitialParent" });
        t.Add("Value", DesignType::Boolean,
            [](RectControl& c, const DesignValue& v) { static_cast<RadioButton&>(c).Value(designBool(v)); });
        return t;
    }();
    return table;
}

DesignTypeOf RadioButton::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& RadioButton::Table() const { return classTable(); }

QRadioButton* RadioButton::radioButton() const
{
    return static_cast<QRadioButton*>(Widget());
}

String RadioButton::Caption() const
{
    return captionFromQt(radioButton()->text());
}

void RadioButton::Caption(const String& value)
{
    radioButton()->setText(captionToQt(value));
}

bool RadioButton::Value() const
{
    return radioButton()->isChecked();
}

void RadioButton::Value(bool value)
{
    if (value == Value())
        return;
    if (value) {
        radioButton()->setChecked(true);
        return;
    }
    // Qt keeps one member of an exclusive group checked; code may leave the group with none.
    radioButton()->setAutoExclusive(false);
    radioButton()->setChecked(false);
    radioButton()->setAutoExclusive(true);
}
