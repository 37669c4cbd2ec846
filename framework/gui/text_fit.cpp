// Texts fitted to their controls: a smaller size, or closer lines, where the design size would not
// fit.
#include "framework/gui/private/text_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

bool fits(const QFont& font, const QStringList& texts, int room)
{
    const QFontMetricsF metrics(font);
    return std::all_of(texts.begin(), texts.end(), [&](const QString& text) { return metrics.horizontalAdvance(text) <= room; });
}

// A caption's "&&" is one ampersand on screen.
QString shownCaption(QString text)
{
    return text.replace(QLatin1String("&&"), QLatin1String("&"));
}

} // namespace

int SmallestTextPixels(int designPixels)
{
    return std::max(6, (designPixels * 2 + 2) / 3);
}

QFont FitFont(const QFont& design, const QStringList& texts, int room)
{
    if (room < 0 || fits(design, texts, room))
        return design;
    const int designPixels = QFontInfo(design).pixelSize();
    QFont font = design;
    for (int pixels = designPixels - 1; pixels >= SmallestTextPixels(designPixels); --pixels) {
        font.setPixelSize(pixels);
        if (fits(font, texts, room))
            break;
    }
    return font;
}

int TextRoom(const QWidget& widget, QStringList& texts)
{
    texts.clear();
    const QStyle* style = widget.style();
    if (auto* box = qobject_cast<const QGroupBox*>(&widget)) {
        texts << shownCaption(box->title());
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = texts.first();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.lineWidth = 1;
        // The label's rectangle grows with its text; the room is the box's width beside it.
        const QRect label = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        return widget.width() - 2 * std::max(0, label.left());
    }
    if (auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        for (int row = 0; row < combo->count(); ++row)
            texts << combo->itemText(row);
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.subControls = QStyle::SC_All;
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        return field.width() - 2;
    }
    auto* button = qobject_cast<const QAbstractButton*>(&widget);
    if (!button)
        return -1;
    texts << shownCaption(button->text());
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = texts.first();
    if (qobject_cast<const QCheckBox*>(button))
        return style->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width();
    if (qobject_cast<const QRadioButton*>(button))
        return style->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
    if (qobject_cast<const QPushButton*>(button)) {
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
        return style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() - margin;
    }
    return -1;
}

QStringList WrappedLines(const QFont& font, const QString& text, int width)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.beginLayout();
        int shown = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength());
            ++shown;
        }
        layout.endLayout();
        if (shown == 0)
            lines << QString();
    }
    return lines;
}

namespace {

// The last pixel row below a line's top that its text darkens, drawn as a label draws it (at the
// top of its box). Measured on the drawing, since fonts differ in how far their descenders reach
// beyond the descent they declare, and in the leading they add (Nimbus Sans declares a much
// taller line than DejaVu Sans for the same size).
int inkBottom(const QFont& font, const QString& line)
{
    const QFontMetrics metrics(font);
    QImage drawn(std::max(1, metrics.horizontalAdvance(line) + 4), metrics.height() * 2, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(drawn.rect(), int(Qt::AlignLeft | Qt::AlignTop), line);
    }
    for (int y = drawn.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            if (qGray(row[x]) < 128)
                return y;
        }
    }
    return 0;
}

// Whether the last of the lines, its top `lastTop` pixels down, keeps its ink off the box's
// bottom row.
bool inkFits(const QFont& font, const QStringList& lines, qreal lastTop, int height)
{
    return lines.isEmpty() || qRound(lastTop) + inkBottom(font, lines.last()) < height - 1;
}

} // namespace

FittedLines FitLines(const QFont& design, const QString& text, int width, int height)
{
    // Closer than this, one line's descenders would meet the next one's capitals. Measured on the
    // font's height, not its line spacing, whose leading some fonts make large.
    constexpr qreal kClosest = 0.75;
    const int designPixels = QFontInfo(design).pixelSize();
    FittedLines fitted { design, 0 };
    for (int pixels = designPixels; pixels >= SmallestTextPixels(designPixels); --pixels) {
        QFont font = design;
        if (pixels != designPixels)
            font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        const QStringList wrapped = WrappedLines(font, text, width);
        const qsizetype lines = wrapped.size();
        fitted = { font, 0 };
        if (lines * metrics.lineSpacing() <= height && inkFits(font, wrapped, (lines - 1) * metrics.lineSpacing(), height))
            return fitted;
        if (lines < 2)
            continue;
        fitted.pitch = (height - metrics.height()) / qreal(lines - 1);
        if (!inkFits(font, wrapped, (lines - 1) * fitted.pitch, height)) {
            // Room for the ink that reaches below the font's descent.
            fitted.pitch = std::floor(height - 2 - inkBottom(font, wrapped.last())) / qreal(lines - 1);
        }
        if (fitted.pitch >= kClosest * metrics.height())
            return fitted;
    }
    return fitted;
}
