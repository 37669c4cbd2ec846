// A push button, the window's default or cancel button among them.
#include "framework/gui/push_button.h"

#include <QPainter>
#include <QPushButton>

namespace {

// The style draws the default button and the focused one alike (a highlighted outline); a ring
// inside the frame tells the keyboard user which button Space would press.
class FocusRingButton final : public QPushButton {
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPushButton::paintEvent(event);
        if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange))
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen ring(palette().color(QPalette::Highlight), 1.5);
        ring.setStyle(Qt::DotLine);
        painter.setPen(ring);
        painter.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), 2, 2);
    }
};

} // namespace

PushButton::PushButton()
    : DesignedControl(new FocusRingButton)
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
