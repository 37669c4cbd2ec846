#pragma once

// Framework-internal conversions between the framework's values and Qt's.

#include "framework/core/text.h"

#include <QColor>
#include <QString>

inline QString toQt(const String& text)
{
    return QString::fromStdString(text);
}

inline String fromQt(const QString& text)
{
    return text.toStdString();
}

// Captions show an ampersand as itself, never as a mnemonic marker.
inline QString captionToQt(const String& text)
{
    return toQt(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

inline String captionFromQt(QString text)
{
    return fromQt(text.replace(QLatin1String("&&"), QLatin1String("&")));
}

inline QColor toQColor(Color colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}
