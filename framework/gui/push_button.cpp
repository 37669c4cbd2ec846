#include "framework/gui/push_button.h"

#include "framework/gui/qt_convert.h"

#include <QPushButton>

PushButton::PushButton()
    : RectControl(new QPushButton)
{
    pushButton()->setAutoDefault(false);
    QObject::connect(pushButton(), &QPushButton::clicked, pushButton(), [this] { fire(OnAction, *this); });
}

const DesignTable<RectControl>& PushButton::classTable()
{
    static const DesignTable<RectControl> table = [] {
        using T = DesignType;
        auto self = [](RectControl& c) -> PushButton& { return static_cast<PushButton&>(c); };
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "TabStop", "Enabled", "Visible", "HelpTag", "AutoDeactivate", "TextFont",
                                "Bold", "Italic", "Underline", "InitialParent" });
        t.Add("Default", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).Default(designBool(v)); });
        t.Add("Cancel", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).Cancel(designBool(v)); });
        // Style 0, the only one used, is the ordinary push button.
        t.Add("ButtonStyle", T::Integer, [](RectControl&, const DesignValue&) {});
        return t;
    }();
    return table;
}

DesignTypeOf PushButton::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& PushButton::Table() const { return classTable(); }

QPushButton* PushButton::pushButton() const
{
    return static_cast<QPushButton*>(Widget());
}

String PushButton::Caption() const
{
    return captionFromQt(pushButton()->text());
}

void PushButton::Caption(const String& value)
{
    pushButton()->setText(captionToQt(value));
    applyFont();
}

void PushButton::Default(bool value)
{
    m_default = value;
    // Only the look: the window itself sends the Return key to its default button.
    pushButton()->setDefault(value);
}

void PushButton::Push()
{
    // QAbstractButton::click does nothing for a disabled button (or one in a disabled box).
    pushButton()->click();
}
