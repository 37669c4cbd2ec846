#pragma once

// Framework-internal: repaints of a widget held back to the rate the screen shows.

#include <QTimer>

class QWidget;

// A widget that a run may change thousands of times a second (a progress bar, a status line) is
// repainted no more often than once a frame: a change within a frame of the last repaint leaves
// the widget's updates off until the frame is over, and the one repaint then shows the latest
// state. The widget's own values change at once all the same; only painting waits. A change
// after a quiet spell is painted on the event loop's next pass, as any update is.
class RepaintPacer final {
public:
    explicit RepaintPacer(QWidget& widget);
    RepaintPacer(const RepaintPacer&) = delete;
    RepaintPacer& operator=(const RepaintPacer&) = delete;

    // Held around a change of the widget: Qt's own setters repaint some widgets at once
    // (QProgressBar::setValue does), and this defers that to the frame.
    class Change final {
    public:
        explicit Change(RepaintPacer& pacer);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;

    private:
        RepaintPacer& m_pacer;
    };

private:
    void frameOver();
    int frameMilliseconds() const;

    QWidget& m_widget;
    QTimer m_frame;
    bool m_held { false };
};
