// A label that reports clicks.
#include "framework/gui/static_text.h"

#include "framework/gui/runtime.h"
#include "framework/gui/private/text_label.h"
#include "framework/gui/private/application_internals.h"

#include <QLabel>
#include <QMouseEvent>

namespace {

// A label that offers its clicks to the control first; a click the control does not take goes
// on to the widgets below it and so to the window.
class ClickLabel final : public TextLabel {
public:
    std::function<bool(int32_t, int32_t)> pressed;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        if (pressed && pressed(at.x(), at.y())) {
            event->accept();
            return;
        }
        event->ignore();
    }
};

} // namespace

StaticText::StaticText()
    : DesignedControl(new ClickLabel)
{
    static_cast<ClickLabel*>(Widget())->pressed = [this](int32_t x, int32_t y) {
        if (!OnMouseDown)
            return false;
        auto hook = OnMouseDown;
        bool handled = false;
        RunGuarded([&] { handled = hook(*this, x, y); });
        return handled;
    };
}

// A static text's list is a label's with TabStop; its text is a design value.
void StaticText::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop);
    DeclareTextEntries(t);
}
