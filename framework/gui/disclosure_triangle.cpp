#include "framework/gui/disclosure_triangle.h"

#include "framework/gui/qt_convert.h"

#include <QToolButton>

DisclosureTriangle::DisclosureTriangle()
    : RectControl(new QToolButton)
{
    toolButton()->setCheckable(true);
    toolButton()->setAutoRaise(true);
    toolButton()->setFocusPolicy(Qt::NoFocus);
    pointArrow();
    QObject::connect(toolButton(), &QToolButton::toggled, toolButton(), [this] {
        pointArrow();
        fire(OnAction, *this);
    });
}

const DesignTable<RectControl>& DisclosureTriangle::classTable()
{
    static const DesignTable<RectControl> table = [] {
        using T = DesignType;
        auto self = [](RectControl& c) -> DisclosureTriangle& { return static_cast<DisclosureTriangle&>(c); };
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "TabStop", "InitialParent", "Visible", "HelpTag", "AutoDeactivate", "Enabled" });
        t.Add("Value", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).Value(designBool(v)); });
        t.Add("Facing", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).Facing(designInt(v)); });
        t.Add("AcceptFocus", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).AcceptFocus(designBool(v)); });
        return t;
    }();
    return table;
}

DesignTypeOf DisclosureTriangle::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& DisclosureTriangle::Table() const { return classTable(); }

QToolButton* DisclosureTriangle::toolButton() const
{
    return static_cast<QToolButton*>(Widget());
}

bool DisclosureTriangle::Value() const
{
    return toolButton()->isChecked();
}

void DisclosureTriangle::Value(bool value)
{
    if (value == Value())
        return;
    toolButton()->setChecked(value);
}

void DisclosureTriangle::Facing(int32_t value)
{
    m_facing = value;
    pointArrow();
}

void DisclosureTriangle::AcceptFocus(bool value)
{
    m_acceptFocus = value;
    toolButton()->setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

// Open points down; closed points the way the control faces.
void DisclosureTriangle::pointArrow()
{
    if (Value())
        toolButton()->setArrowType(Qt::DownArrow);
    else
        toolButton()->setArrowType(m_facing == 1 ? Qt::LeftArrow : Qt::RightArrow);
}
