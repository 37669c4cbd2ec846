// A group box that holds controls placed in window coordinates.
#include "framework/gui/group_box.h"

#include <QEvent>
#include <QGroupBox>

namespace {

// Qt's group box takes the theme's button-press keys for its check box even when it has none.
// GNOME's keys include Return, which then never reaches the window's default button from a field
// in the box; a box without a check box lets every key pass.
class PlainGroupBox final : public QGroupBox {
protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && !isCheckable())
            return QWidget::event(event);
        return QGroupBox::event(event);
    }
};

} // namespace

GroupBox::GroupBox()
    : DesignedControl(new PlainGroupBox)
{
}

void GroupBox::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::Enabled, Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Font(&Design::font)
        .Add(Common::InitialParent);
}
