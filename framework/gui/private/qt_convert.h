#pragma once

// Framework-internal conversions between the framework's values and Qt's.

#include "framework/core/text.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QUrl>

inline QString toQt(const String& text)
{
    return QString::fromStdString(text);
}

inline String fromQt(const QString& text)
{
    return text.toStdString();
}

// The path of a local file's URL as the file system's bytes. A file manager percent-encodes a name
// that is not UTF-8 byte by byte, and QUrl keeps such bytes encoded; QUrl::toLocalFile would turn
// them into replacement characters and name another item.
inline String localPathFromQt(const QUrl& url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
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
