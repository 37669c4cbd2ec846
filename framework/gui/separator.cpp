// A separator line.
#include "framework/gui/separator.h"

#include <QFrame>
#include <QResizeEvent>

namespace {

// A line across its longer side.
class SeparatorLine final : public QFrame {
public:
    SeparatorLine()
    {
        setFrameShadow(QFrame::Sunken);
        setFrameShape(QFrame::HLine);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        const QSize size = event->size();
        setFrameShape(size.height() > size.width() ? QFrame::VLine : QFrame::HLine);
        QFrame::resizeEvent(event);
    }
};

} // namespace

Separator::Separator()
    : DesignedControl(new SeparatorLine)
{
}

void Separator::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop, Common::InitialParent, Common::Visible, Common::HelpTag,
        Common::AutoDeactivate, Common::Enabled);
}
