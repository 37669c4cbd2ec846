#include "framework/gui/check_box.h"

#include "framework/gui/qt_convert.h"

#include <QCheckBox>

CheckBox::CheckBox()
    : RectControl(new QCheckBox)
{
    QObject::connect(checkBox(), &QCheckBox::stateChanged, checkBox(), [this] { fire(OnAction, *this); });
}

const DesignTable<RectControl>& CheckBox::classTable()
{
    static const DesignTable<RectControl> table = [] {
        using T = DesignType;
        auto self = [](RectControl& c) -> CheckBox& { return static_cast<CheckBox&>(c); };
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "TabStop", "Enabled", "Visible", "HelpTag", "AutoDeactivate", "TextFont",
                                "Bold", "Italic", "Underline", "DataSource", "DataField", "InitialParent" });
        t.Add("State", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).State(designInt(v)); });
        t.Add("Value", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).Value(designBool(v)); });
        return t;
    }();
    return table;
}

DesignTypeOf CheckBox::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& CheckBox::Table() const { return classTable(); }

QCheckBox* CheckBox::checkBox() const
{
    return static_cast<QCheckBox*>(Widget());
}

String CheckBox::Caption() const
{
    return captionFromQt(checkBox()->text());
}

void CheckBox::Caption(const String& value)
{
    checkBox()->setText(captionToQt(value));
    applyFont();
}

bool CheckBox::Value() const
{
    return checkBox()->checkState() == Qt::Checked;
}

void CheckBox::Value(bool value)
{
    if (value == Value() && checkBox()->checkState() != Qt::PartiallyChecked)
        return;
    checkBox()->setCheckState(value ? Qt::Checked : Qt::Unchecked);
}

int32_t CheckBox::State() const
{
    switch (checkBox()->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void CheckBox::State(int32_t value)
{
    if (value == State())
        return;
    if (value == 2) {
        checkBox()->setTristate(true);
        checkBox()->setCheckState(Qt::PartiallyChecked);
        return;
    }
    checkBox()->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
}
