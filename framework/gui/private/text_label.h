#pragma once

// Framework-internal: the widget of a label. Lines of a multi-line text may be drawn closer
// than the font's own line spacing, so that a text drawn for a tighter font fits its box; and a
// one-line label stacked on another label draws its line at the top of its box.

#include <QLabel>

class TextLabel : public QLabel {
    Q_OBJECT

public:
    // The distance between the tops of two lines; 0 for the font's own spacing.
    void setLinePitch(qreal pitch);
    qreal linePitch() const { return m_pitch; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool overlapsAnotherLabel() const;
    qreal m_pitch { 0 };
};
