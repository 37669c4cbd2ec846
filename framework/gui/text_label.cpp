// The widget of a label, with closer lines where a text needs them.
#include "framework/gui/private/text_label.h"

#include "framework/gui/private/text_fit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

void TextLabel::setLinePitch(qreal pitch)
{
    if (pitch == m_pitch)
        return;
    m_pitch = pitch;
    update();
}

// Labels placed closer than their height are rows of a list (the credits' translators), drawn
// for text at the top of each box: centred, a row's descenders would fall under the next row,
// which is drawn above it.
bool TextLabel::overlapsAnotherLabel() const
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return false;
    for (const QObject* child : parent->children()) {
        const auto* other = qobject_cast<const TextLabel*>(child);
        if (other && other != this && other->isVisibleTo(parent) && other->geometry().intersects(geometry()))
            return true;
    }
    return false;
}

void TextLabel::paintEvent(QPaintEvent* event)
{
    const bool oneLine = !wordWrap();
    // A selectable text is drawn by Qt's own text control, with its selection.
    const bool stacked = oneLine && textInteractionFlags() == Qt::NoTextInteraction && overlapsAnotherLabel();
    if (!stacked && (oneLine || m_pitch <= 0))
        return QLabel::paintEvent(event);
    QPainter painter(this);
    const QRect room = contentsRect();
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    if (stacked) {
        style()->drawItemText(&painter, room, int(horizontal | Qt::AlignTop), palette(), isEnabled(), text(), foregroundRole());
        return;
    }
    const int lineHeight = QFontMetrics(font()).height();
    qreal top = room.top();
    for (const QString& line : WrappedLines(font(), text(), room.width())) {
        const QRect place(room.left(), qRound(top), room.width(), lineHeight);
        style()->drawItemText(&painter, place, int(horizontal | Qt::AlignTop), palette(), isEnabled(), line, foregroundRole());
        top += m_pitch;
    }
}
