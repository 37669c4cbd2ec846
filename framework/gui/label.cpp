#include "framework/gui/label.h"

#include "framework/gui/design_colour.h"
#include "framework/gui/qt_convert.h"
#include "framework/gui/text_fit.h"
#include "framework/gui/text_label.h"

#include <QFontMetrics>
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

Label::Label(QLabel* widget)
    : DesignedControl(widget)
    , m_pacer(*widget)
{
    widget->setTextFormat(Qt::PlainText);
    widget->setFocusPolicy(Qt::NoFocus);
    alignLabel(widget, m_textAlign, m_multiline);
    TextColor(m_textColor);
}

void Label::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::Enabled | kPresence | kFont | kBinding | Common::InitialParent);
    AddTextEntries(t);
}

void Label::AddTextEntries(DesignTable<RectControl>& t)
{
    t.Add("Text", &Label::Text)
        .Add("TextAlign", &Label::TextAlign)
        .Add("TextColor", &Label::TextColor)
        .Add("Multiline", &Label::Multiline)
        .Add("Selectable", &Label::Selectable)
        .Add("Transparent", &Label::Transparent);
}

String Label::DesignListOf(const DesignHead& h, const Design& d)
{
    return textList(DesignTypes(), h, d, false);
}

String Label::textList(const DesignTypeOf& types, const DesignHead& h, const Design& d, bool tabStop)
{
    DesignList list = beginList(types, h);
    list.Integer("TabIndex", h.tabIndex);
    if (tabStop)
        list.Boolean("TabStop", true);
    if (d.text)
        list.Text("Text", *d.text);
    list.Integer("TextAlign", d.textAlign)
        .Colour("TextColor", d.textColor)
        .Boolean("Multiline", d.multiline)
        .Boolean("Enabled", h.enabled)
        .Boolean("Visible", true)
        .Boolean("Selectable", d.selectable)
        .Boolean("Transparent", d.transparent)
        .Text("HelpTag", "")
        .Boolean("AutoDeactivate", true);
    font(list, d.font);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

QLabel* Label::label() const { return widget(); }

String Label::Text() const
{
    return m_text;
}

// A status line that a run changes for every item is repainted once a frame at most.
void Label::Text(const String& value)
{
    if (value == m_text)
        return;
    const RepaintPacer::Change change(m_pacer);
    m_text = value;
    applyFont();
}

// One line: a smaller size where the text would not fit, and where even that is not enough (a
// folder's name may have any length), the middle elided and the whole text in the tooltip.
// Several lines: closer lines, then a smaller size, until they fit the label's height.
QFont Label::fitFont(const QFont& design)
{
    // Rows of a text are separated by carriage returns; Qt breaks lines at line feeds.
    QString text = toQt(m_text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    auto* shown = static_cast<TextLabel*>(label());
    const QRect room = shown->contentsRect();
    if (m_multiline) {
        const FittedLines fitted = FitLines(design, text, room.width(), room.height());
        shown->setLinePitch(fitted.pitch);
        shown->setText(text);
        return fitted.font;
    }
    shown->setLinePitch(0);
    const QFont font = FitFont(design, { text }, room.width());
    const QString visible = room.width() > 0 ? QFontMetrics(font).elidedText(text, Qt::ElideMiddle, room.width()) : text;
    shown->setText(visible);
    shown->setToolTip(visible == text ? toQt(HelpTag()) : text);
    return font;
}

void Label::TextAlign(int32_t value)
{
    m_textAlign = value;
    alignLabel(label(), m_textAlign, m_multiline);
}

void Label::TextColor(Color value)
{
    m_textColor = value;
    SetDesignColour(*label(), QPalette::WindowText, value);
}

void Label::Multiline(bool value)
{
    m_multiline = value;
    label()->setWordWrap(value);
    alignLabel(label(), m_textAlign, m_multiline);
    applyFont();
}

void Label::Transparent(bool value)
{
    m_transparent = value;
    label()->setAutoFillBackground(!value);
}

void Label::Selectable(bool value)
{
    m_selectable = value;
    label()->setTextInteractionFlags(value ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
}
