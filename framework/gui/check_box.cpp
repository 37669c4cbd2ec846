// A check box: its value and its three states.
#include "framework/gui/check_box.h"

#include <QCheckBox>

CheckBox::CheckBox()
    : DesignedControl(new QCheckBox)
{
    QObject::connect(widget(), &QCheckBox::stateChanged, widget(), [this] { fire(OnAction, *this); });
}

void CheckBox::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop, Common::Enabled, Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Font(&Design::font)
        .Add("State", &CheckBox::State, &Design::state)
        .Add("Value", &CheckBox::Value, &Design::value)
        .Add(Common::DataSource, Common::DataField, Common::InitialParent);
}

bool CheckBox::Value() const
{
    return widget()->checkState() == Qt::Checked;
}

void CheckBox::Value(bool value)
{
    if (value == Value() && widget()->checkState() != Qt::PartiallyChecked)
        return;
    widget()->setCheckState(value ? Qt::Checked : Qt::Unchecked);
}

int32_t CheckBox::State() const
{
    switch (widget()->checkState()) {
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
        widget()->setTristate(true);
        widget()->setCheckState(Qt::PartiallyChecked);
        return;
    }
    widget()->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
}
