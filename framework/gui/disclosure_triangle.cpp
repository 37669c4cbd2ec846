#include "framework/gui/disclosure_triangle.h"

#include "framework/gui/qt_convert.h"

#include <QToolButton>

DisclosureTriangle::DisclosureTriangle()
    : DesignedControl(new QToolButton)
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

void DisclosureTriangle::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::InitialParent | kPresence | Common::Enabled);
    t.Add("Value", &DisclosureTriangle::Value)
        .Add("Facing", &DisclosureTriangle::Facing)
        .Add("AcceptFocus", &DisclosureTriangle::AcceptFocus);
}

String DisclosureTriangle::DesignListOf(const DesignHead& h, const Design& d)
{
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Text("InitialParent", h.parent);
    presence(list)
        .Boolean("Enabled", h.enabled)
        .Boolean("Value", d.value)
        .Integer("Facing", d.facing)
        .Boolean("AcceptFocus", d.acceptFocus);
    return list.Bytes();
}

QToolButton* DisclosureTriangle::toolButton() const { return widget(); }

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
