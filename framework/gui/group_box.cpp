#include "framework/gui/group_box.h"

#include "framework/gui/qt_convert.h"

#include <QGroupBox>

GroupBox::GroupBox()
    : RectControl(new QGroupBox)
{
}

const DesignTable<RectControl>& GroupBox::classTable()
{
    static const DesignTable<RectControl> table = [] {
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "Enabled", "Visible", "HelpTag", "AutoDeactivate", "TextFont", "Bold",
                                "Italic", "Underline", "InitialParent" });
        return t;
    }();
    return table;
}

DesignTypeOf GroupBox::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& GroupBox::Table() const { return classTable(); }

QGroupBox* GroupBox::groupBox() const
{
    return static_cast<QGroupBox*>(Widget());
}

String GroupBox::Caption() const
{
    return captionFromQt(groupBox()->title());
}

void GroupBox::Caption(const String& value)
{
    groupBox()->setTitle(captionToQt(value));
    applyFont();
}
