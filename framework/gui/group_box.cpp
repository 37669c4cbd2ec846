#include "framework/gui/group_box.h"

#include "framework/gui/qt_convert.h"

#include <QGroupBox>

GroupBox::GroupBox()
    : DesignedControl(new QGroupBox)
{
}

void GroupBox::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::Enabled, Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Font(&Design::font)
        .Add(Common::InitialParent);
}

String GroupBox::Caption() const
{
    return captionFromQt(widget()->title());
}

void GroupBox::Caption(const String& value)
{
    widget()->setTitle(captionToQt(value));
    applyFont();
}
