// A push button, the window's default or cancel button among them.
#include "framework/gui/push_button.h"

#include <QPushButton>

PushButton::PushButton()
    : DesignedControl(new QPushButton)
{
    widget()->setAutoDefault(false);
    QObject::connect(widget(), &QPushButton::clicked, widget(), [this] { fire(OnAction, *this); });
}

// Style 0, the only one used, is the ordinary push button.
void PushButton::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop)
        .Add("Default", &PushButton::Default, &Design::isDefault)
        .Add("Cancel", &PushButton::Cancel, &Design::isCancel)
        .Add(Common::Enabled, Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Accept<int32_t>("ButtonStyle", &Design::buttonStyle)
        .Font(&Design::font)
        .Add(Common::InitialParent);
}

void PushButton::Default(bool value)
{
    m_default = value;
    // Only the look: the window itself sends the Return key to its default button.
    widget()->setDefault(value);
}

void PushButton::Push()
{
    // QAbstractButton::click does nothing for a disabled button (or one in a disabled box).
    widget()->click();
}
