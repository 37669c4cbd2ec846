// A group box that holds controls placed in window coordinates.
#include "framework/gui/group_box.h"

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

