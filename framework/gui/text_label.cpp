// The widget of a label, with closer lines where a text needs them.
#include "framework/gui/text_label.h"

#include "framework/gui/text_fit.h"

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

void TextLabel::paintEvent(QPaintEvent* event)
{
    if (m_pitch <= 0 || !wordWrap())
        return QLabel::paintEvent(event);
    QPainter painter(this);
    const QRect room = contentsRect();
    const int lineHeight = QFontMetrics(font()).height();
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    qreal top = room.top();
    for (const QString& line : WrappedLines(font(), text(), room.width())) {
        const QRect place(room.left(), qRound(top), room.width(), lineHeight);
        style()->drawItemText(&painter, place, int(horizontal | Qt::AlignTop), palette(), isEnabled(), line, foregroundRole());
        top += m_pitch;
    }
}
