#include "framework/gui/group_box.h"

#include "framework/gui/qt_convert.h"

#include <QGroupBox>

GroupBox::GroupBox()
    : DesignedControl(new QGroupBox)
{
}

void GroupBox::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::Enabled | kPresence | kFont | Common::InitialParent);
}

String GroupBox::DesignListOf(const DesignHead& h, const Design& d)
{
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex).Boolean("Enabled", h.enabled);
    presence(list);
    font(list, d.font).Text("InitialParent", h.parent);
    return list.Bytes();
}

QGroupBox* GroupBox::groupBox() const { return widget(); }

String GroupBox::Caption() const
{
    return captionFromQt(groupBox()->title());
}

void GroupBox::Caption(const String& value)
{
    groupBox()->setTitle(captionToQt(value));
    applyFont();
}
