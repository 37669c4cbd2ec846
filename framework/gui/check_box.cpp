#include "framework/gui/check_box.h"

#include "framework/gui/qt_convert.h"

#include <QCheckBox>

CheckBox::CheckBox()
    : DesignedControl(new QCheckBox)
{
    QObject::connect(checkBox(), &QCheckBox::stateChanged, checkBox(), [this] { fire(OnAction, *this); });
}

void CheckBox::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::Enabled | kPresence | kFont | kBinding | Common::InitialParent);
    t.Add("State", &CheckBox::State).Add("Value", &CheckBox::Value);
}

String CheckBox::DesignListOf(const DesignHead& h, const Design& d)
{
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Boolean("Enabled", h.enabled);
    presence(list);
    font(list, d.font).Integer("State", d.state).Boolean("Value", d.value);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

QCheckBox* CheckBox::checkBox() const { return widget(); }

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
