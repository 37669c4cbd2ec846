// A disclosure triangle: an arrow that opens and closes.
#include "framework/gui/disclosure_triangle.h"

#include "framework/gui/private/qt_convert.h"

#include <QToolButton>

DisclosureTriangle::DisclosureTriangle()
    : DesignedControl(new QToolButton)
{
    widget()->setCheckable(true);
    widget()->setAutoRaise(true);
    widget()->setFocusPolicy(Qt::NoFocus);
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

void DisclosureTriangle::AcceptFocus(bool value)
{
    m_acceptFocus = value;
    widget()->setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

// Open points down; closed points the way the control faces.
void DisclosureTriangle::pointArrow()
{
    if (Value())
        widget()->setArrowType(Qt::DownArrow);
    else
        widget()->setArrowType(m_facing == 1 ? Qt::LeftArrow : Qt::RightArrow);
}
