// A design colour on a widget's palette, kept out of its disabled look.
#include "framework/gui/private/design_colour.h"

#include "framework/gui/private/qt_convert.h"

#include <QWidget>

void SetDesignColour(QWidget& widget, QPalette::ColorRole role, Color colour)
{
    QPalette palette = widget.palette();
    const QColor shown = toQColor(colour);
    palette.setColor(QPalette::Active, role, shown);
    palette.setColor(QPalette::Inactive, role, shown);
    widget.setPalette(palette);
}
