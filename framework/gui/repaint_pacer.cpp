// Repaints held back to the screen's rate.
#include "framework/gui/private/repaint_pacer.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

RepaintPacer::RepaintPacer(QWidget& widget)
    : m_widget(widget)
{
    m_frame.setSingleShot(true);
    QObject::connect(&m_frame, &QTimer::timeout, &m_frame, [this] { frameOver(); });
}

RepaintPacer::Change::Change(RepaintPacer& pacer)
    : m_pacer(pacer)
{
    m_pacer.m_widget.setUpdatesEnabled(false);
}

RepaintPacer::Change::~Change()
{
    if (m_pacer.m_frame.isActive()) {
        m_pacer.m_held = true;
        return;
    }
    // Turning updates back on asks for a repaint, which the event loop makes on its next pass.
    m_pacer.m_widget.setUpdatesEnabled(true);
    m_pacer.m_frame.start(m_pacer.frameMilliseconds());
}

void RepaintPacer::frameOver()
{
    if (!m_held)
        return;
    m_held = false;
    m_widget.setUpdatesEnabled(true);
    m_frame.start(frameMilliseconds());
}

int RepaintPacer::frameMilliseconds() const
{
    const QScreen* screen = m_widget.screen();
    const qreal hertz = screen ? screen->refreshRate() : 60.0;
    return int(std::lround(1000.0 / std::clamp<qreal>(hertz, 30.0, 240.0)));
}
