// A design colour on a widget's palette, kept out of its disabled look and readable in any theme.
#include "framework/gui/private/design_colour.h"

#include "framework/gui/private/qt_convert.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace {

constexpr QPalette::ColorGroup kDesignGroups[] = { QPalette::Active, QPalette::Inactive };

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c)
{
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

bool isThemeDefault(QPalette::ColorRole role, Color colour)
{
    const Color black { 0, 0, 0 }, white { 255, 255, 255 };
    if (role == QPalette::Base)
        return colour == white;
    return colour == black;
}

// The role a text is drawn on: a field's text on its base, anything else on the window colour.
QPalette::ColorRole backgroundOf(QPalette::ColorRole role)
{
    return role == QPalette::Text ? QPalette::Base : QPalette::Window;
}

// Keeps a widget's meaningful colours and shows them anew whenever the palette under them
// changes: the widget's palette holds only these roles, everything else comes from its parent.
class DesignColours final : public QObject {
public:
    explicit DesignColours(QWidget& widget)
        : QObject(&widget)
        , m_widget(widget)
    {
        setObjectName(QStringLiteral("DesignColours"));
        widget.installEventFilter(this);
    }

    static DesignColours& of(QWidget& widget)
    {
        if (auto* kept = widget.findChild<DesignColours*>(QStringLiteral("DesignColours"), Qt::FindDirectChildrenOnly))
            return *kept;
        return *new DesignColours(widget);
    }

    void set(QPalette::ColorRole role, std::optional<QColor> colour)
    {
        const auto kept = m_colours.find(role);
        const std::optional<QColor> before = kept == m_colours.end() ? std::nullopt : std::optional(kept->second);
        if (before == colour && m_applied)
            return;
        if (colour)
            m_colours[role] = *colour;
        else
            m_colours.erase(role);
        apply();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Once every widget has taken the new palette, so that the background is the new one.
        if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange
            || event->type() == QEvent::ParentChange)
            QMetaObject::invokeMethod(this, &DesignColours::apply, Qt::QueuedConnection);
        return false;
    }

private:
    void apply()
    {
        // Only the roles set here are the widget's own; the rest resolve from its parent.
        m_applied = true;
        QPalette own;
        const QWidget* parent = m_widget.parentWidget();
        const QPalette inherited = parent ? parent->palette() : QApplication::palette(&m_widget);
        for (const auto& [role, colour] : m_colours) {
            for (QPalette::ColorGroup group : kDesignGroups) {
                const QColor background = inherited.color(group, backgroundOf(role));
                own.setColor(group, role, role == QPalette::Base ? colour : LegibleOn(colour, background));
            }
        }
        m_widget.setPalette(own);
    }

    QWidget& m_widget;
    std::map<QPalette::ColorRole, QColor> m_colours;
    bool m_applied { false };
};

} // namespace

void SetDesignColour(QWidget& widget, QPalette::ColorRole role, Color colour)
{
    DesignColours::of(widget).set(role, isThemeDefault(role, colour) ? std::nullopt : std::optional(toQColor(colour)));
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor LegibleOn(const QColor& colour, const QColor& background, double ratio)
{
    if (ContrastRatio(colour, background) >= ratio)
        return colour;
    // Away from the background's side: lighter on a dark background, darker on a light one.
    const bool lighten = luminance(background) < 0.18;
    const QColor hsl = colour.toHsl();
    QColor best = lighten ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step <= 255; ++step) {
        const int lightness = lighten ? std::min(255, hsl.lightness() + step) : std::max(0, hsl.lightness() - step);
        const QColor tried = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness);
        if (ContrastRatio(tried, background) >= ratio) {
            best = tried;
            break;
        }
    }
    return best;
}
