// A disclosure triangle: an arrow that opens and closes.
#include "framework/gui/disclosure_triangle.h"

#include "framework/gui/private/accessibility.h"
#include "framework/gui/private/qt_convert.h"

#include <QToolButton>

DisclosureTriangle::DisclosureTriangle()
    : DesignedControl(new QToolButton)
{
    widget()->setCheckable(true);
    widget()->setAutoRaise(true);
    widget()->setProperty(kDisclosureProperty, true);
    focusPolicy(Qt::TabFocus);
    pointArrow();
    QObject::connect(widget(), &QToolButton::toggled, widget(), [this] {
        pointArrow();
        fire(OnAction, *this);
    });
}

void DisclosureTriangle::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop, Common::InitialParent, Common::Visible, Common::HelpTag,
         Common::AutoDeactivate, Common::Enabled)
        .Add("Value", &DisclosureTriangle::Value, &Design::value)
        .Add("Facing", &DisclosureTriangle::Facing, &Design::facing)
        .Add("AcceptFocus", &DisclosureTriangle::AcceptFocus, &Design::acceptFocus);
}

bool DisclosureTriangle::Value() const
{
    return widget()->isChecked();
}

void DisclosureTriangle::Value(bool value)
{
    if (value == Value())
        return;
    widget()->setChecked(value);
}

void DisclosureTriangle::Facing(int32_t value)
{
    m_facing = value;
    pointArrow();
}

// A triangle that accepts no focus is never focused by a click, as on the desktops it comes from;
// the keyboard still reaches it in its place in the tab order and toggles it with Space.
void DisclosureTriangle::AcceptFocus(bool value)
{
    m_acceptFocus = value;
    Qt::FocusPolicy policy = value ? Qt::StrongFocus : Qt::TabFocus;
    if (!TabStop())
        policy = static_cast<Qt::FocusPolicy>(policy & ~Qt::TabFocus);
    focusPolicy(policy);
}

// Open points down; closed points the way the control faces.
void DisclosureTriangle::pointArrow()
{
    if (Value())
        widget()->setArrowType(Qt::DownArrow);
    else
        widget()->setArrowType(m_facing == 1 ? Qt::LeftArrow : Qt::RightArrow);
}
