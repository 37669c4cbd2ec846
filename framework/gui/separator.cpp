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
    : RectControl(new SeparatorLine)
{
}

const DesignTable<RectControl>& Separator::classTable()
{
    static const DesignTable<RectControl> table = [] {
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "TabStop", "InitialParent", "Visible", "HelpTag", "AutoDeactivate", "Enabled" });
        return t;
    }();
    return table;
}

DesignTypeOf Separator::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& Separator::Table() const { return classTable(); }
