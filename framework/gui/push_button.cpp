#include "framework/gui/push_button.h"

#include "framework/gui/qt_convert.h"

#include <QPushButton>

PushButton::PushButton()
    : DesignedControl(new QPushButton)
{
    pushButton()->setAutoDefault(false);
    QObject::connect(pushButton(), &QPushButton::clicked, pushButton(), [this] { fire(OnAction, *this); });
}

void PushButton::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::Enabled | kPresence | kFont | Common::InitialParent);
    t.Add("Default", &PushButton::Default).Add("Cancel", &PushButton::Cancel);
    // Style 0, the only one used, is the ordinary push button.
    t.Accept<int32_t>("ButtonStyle");
}

String PushButton::DesignListOf(const DesignHead& h, const Design& d)
{
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex)
        .Boolean("TabStop", true)
        .Boolean("Default", d.isDefault)
        .Boolean("Cancel", d.isCancel)
        .Boolean("Enabled", h.enabled);
    presence(list).Integer("ButtonStyle", d.buttonStyle);
    font(list, d.font).Text("InitialParent", h.parent);
    return list.Bytes();
}

QPushButton* PushButton::pushButton() const { return widget(); }

String PushButton::Caption() const
{
    return captionFromQt(pushButton()->text());
}

void PushButton::Caption(const String& value)
{
    pushButton()->setText(captionToQt(value));
    applyFont();
}

void PushButton::Default(bool value)
{
    m_default = value;
    // Only the look: the window itself sends the Return key to its default button.
    pushButton()->setDefault(value);
}

void PushButton::Push()
{
    // QAbstractButton::click does nothing for a disabled button (or one in a disabled box).
    pushButton()->click();
}
