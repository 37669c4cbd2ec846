// The caption of a button or a group box, fitted to the control like every control's text.
#include "framework/gui/captioned_control.h"

#include "framework/gui/private/qt_convert.h"

#include <QAbstractButton>
#include <QGroupBox>

String CaptionedControl::Caption() const
{
    if (const auto* box = qobject_cast<const QGroupBox*>(Widget()))
        return captionFromQt(box->title());
    return captionFromQt(static_cast<const QAbstractButton*>(Widget())->text());
}

void CaptionedControl::Caption(const String& value)
{
    if (auto* box = qobject_cast<QGroupBox*>(Widget()))
        box->setTitle(captionToQt(value));
    else
        static_cast<QAbstractButton*>(Widget())->setText(captionToQt(value));
    applyFont();
}
