#pragma once

// Framework-internal: a control's text fitted to the room the control gives it. The layouts
// hold their places and sizes to the pixel, and a translation may be longer than the text they
// were drawn for; such a text is drawn in a smaller size of the same font rather than cut.

#include <QFont>
#include <QStringList>

class QWidget;

// The smallest pixel size a text of that design size is brought down to.
int SmallestTextPixels(int designPixels);

// The design font, or a smaller size of it, at which every one of the texts is at most `room`
// pixels wide; at most down to SmallestTextPixels.
QFont FitFont(const QFont& design, const QStringList& texts, int room);

// The room a button, check box, radio button, popup or group box gives its text, and the texts
// it shows there (a popup's every row); -1 for any other widget.
int TextRoom(const QWidget& widget, QStringList& texts);

// For text of several lines in a box of that size: the design font or a smaller size of it, and
// the distance between the lines' tops (0 for the font's own line spacing) at which every line
// fits in the box's height. Lines come closer before the font gets smaller.
struct FittedLines {
    QFont font;
    qreal pitch { 0 };
};
FittedLines FitLines(const QFont& design, const QString& text, int width, int height);

// The text's lines when wrapped at that width, paragraphs split at line feeds.
QStringList WrappedLines(const QFont& font, const QString& text, int width);
