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

void Separator::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::InitialParent | kPresence | Common::Enabled);
}

String Separator::DesignListOf(const DesignHead& h, const Design& d)
{
    (void)d;
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Text("InitialParent", h.parent);
    presence(list).Boolean("Enabled", h.enabled);
    return list.Bytes();
}
