// A label, its text fitted to the room it has.
#include "framework/gui/label.h"

#include "framework/gui/private/design_colour.h"
#include "framework/gui/private/qt_convert.h"
#include "framework/gui/private/repaint_pacer.h"
#include "framework/gui/private/text_fit.h"
#include "framework/gui/private/text_label.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLabel>

namespace {

void alignLabel(QLabel* label, int32_t textAlign, bool multiline)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (textAlign == 1)
        horizontal = Qt::AlignHCenter;
    else if (textAlign == 2)
        horizontal = Qt::AlignRight;
    label->setAlignment(horizontal | (multiline ? Qt::AlignTop : Qt::AlignVCenter));
}

} // namespace

Label::Label()
    : Label(new TextLabel)
{
}

Label::~Label() = default;

Label::Label(QLabel* widget)
    : DesignedControl(widget)
    , m_pacer(std::make_unique<RepaintPacer>(*widget))
{
    widget->setTextFormat(Qt::PlainText);
    widget->setFocusPolicy(Qt::NoFocus);
    alignLabel(widget, m_textAlign, m_multiline);
    TextColor(m_textColor);
}

void Label::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex);
    DeclareTextEntries(t);
}

void Label::DeclareTextEntries(ControlTable<Design>& t)
{
    t.Add("Text", &Label::Text, &Design::text)
        .Add("TextAlign", &Label::TextAlign, &Design::textAlign)
        .Add("TextColor", &Label::TextColor, &Design::textColor)
        .Add("Multiline", &Label::Multiline, &Design::multiline)
        .Add(Common::Enabled, Common::Visible)
        .Add("Selectable", &Label::Selectable, &Design::selectable)
        .Add("Transparent", &Label::Transparent, &Design::transparent)
        .Add(Common::HelpTag, Common::AutoDeactivate)
        .Font(&Design::font)
        .Add(Common::DataSource, Common::DataField, Common::InitialParent);
}

String Label::Text() const
{
    return m_text;
}

// A status line that a run changes for every item is repainted once a frame at most.
void Label::Text(const String& value)
{
    if (value == m_text)
        return;
    const RepaintPacer::Change change(*m_pacer);
    m_text = value;
    applyFont();
}

// One line: a smaller size where the text would then fit whole; where no size is small enough
// (a folder's name may have any length), the middle elided at the design size, which stays
// legible, and the whole text in the tooltip.
// Several lines: closer lines, then a smaller size, until they fit the label's height.
QFont Label::fitFont(const QFont& design)
{
    // Rows of a text are separated by carriage returns; Qt breaks lines at line feeds.
    QString text = toQt(m_text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    auto* shown = static_cast<TextLabel*>(widget());
    const QRect room = shown->contentsRect();
    if (m_multiline) {
        const FittedLines fitted = FitLines(design, text, room.width(), room.height());
        shown->setLinePitch(fitted.pitch);
        shown->setText(text);
        return fitted.font;
    }
    shown->setLinePitch(0);
    QFont font = FitFont(design, { text }, room.width());
    if (QFontMetricsF(font).horizontalAdvance(text) > room.width())
        font = design;
    const QString visible = room.width() > 0 ? QFontMetrics(font).elidedText(text, Qt::ElideMiddle, room.width()) : text;
    shown->setText(visible);
    shown->setToolTip(visible == text ? toQt(HelpTag()) : text);
    return font;
}

void Label::TextAlign(int32_t value)
{
    m_textAlign = value;
    alignLabel(widget(), m_textAlign, m_multiline);
}

void Label::TextColor(Color value)
{
    m_textColor = value;
    SetDesignColour(*widget(), QPalette::WindowText, value);
}

void Label::Multiline(bool value)
{
    m_multiline = value;
    widget()->setWordWrap(value);
    alignLabel(widget(), m_textAlign, m_multiline);
    applyFont();
}

void Label::Transparent(bool value)
{
    m_transparent = value;
    widget()->setAutoFillBackground(!value);
}

void Label::Selectable(bool value)
{
    m_selectable = value;
    widget()->setTextInteractionFlags(value ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
}
