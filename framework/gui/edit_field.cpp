// A one-line text field.
#include "framework/gui/edit_field.h"

#include "framework/gui/private/design_colour.h"
#include "framework/gui/private/qt_convert.h"

#include <QLineEdit>

namespace {

// QLineEdit's own default and largest length: no limit.
constexpr int kNoLimit = 32767;

} // namespace

EditField::EditField()
    : DesignedControl(new QLineEdit)
{
    QObject::connect(widget(), &QLineEdit::textChanged, widget(), [this] { fire(OnTextChange, *this); });
    TextColor(m_textColor);
    BackColor(m_backColor);
}

// The field is always one line of plain text without scroll bars, a focus ring of the platform's,
// no tab characters and no display format: those entries are accepted and change nothing.
void EditField::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop)
        .Add("Border", &EditField::Border, &Design::border)
        .Accept<bool>("Multiline", &Design::multiline)
        .Accept<bool>("ScrollbarHorizontal", &Design::scrollbarHorizontal)
        .Accept<bool>("ScrollbarVertical", &Design::scrollbarVertical)
        .Accept<bool>("Styled", &Design::styled)
        .Add("Password", &EditField::Password, &Design::password)
        .Accept<bool>("UseFocusRing", &Design::useFocusRing)
        .Add("TextColor", &EditField::TextColor, &Design::textColor)
        .Add("BackColor", &EditField::BackColor, &Design::backColor)
        .Add(Common::Enabled)
        .Accept<String>("Format", &Design::format)
        .Add(Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Font(&Design::font)
        .Add("Text", &EditField::Text, &Design::text)
        .Add("Mask", &EditField::mask, &Design::mask)
        .Add("ReadOnly", &EditField::ReadOnly, &Design::readOnly)
        .Add("LimitText", &EditField::LimitText, &Design::limitText)
        .Accept<bool>("AcceptTabs", &Design::acceptTabs)
        .Add("Alignment", &EditField::Alignment, &Design::alignment)
        .Add(Common::DataSource, Common::DataField, Common::InitialParent);
}

void EditField::mask(const String& value)
{
    widget()->setInputMask(toQt(value));
}

String EditField::Text() const
{
    return fromQt(widget()->text());
}

void EditField::Text(const String& value)
{
    const QString text = toQt(value);
    if (text == widget()->text())
        return;
    widget()->setText(text);
}

bool EditField::ReadOnly() const
{
    return widget()->isReadOnly();
}

void EditField::ReadOnly(bool value)
{
    widget()->setReadOnly(value);
}

int32_t EditField::LimitText() const
{
    const int length = widget()->maxLength();
    return length >= kNoLimit ? 0 : length;
}

void EditField::LimitText(int32_t value)
{
    widget()->setMaxLength(value > 0 && value < kNoLimit ? value : kNoLimit);
}

void EditField::Alignment(int32_t value)
{
    m_alignment = value;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (value == 2)
        horizontal = Qt::AlignHCenter;
    else if (value == 3)
        horizontal = Qt::AlignRight;
    widget()->setAlignment(horizontal | Qt::AlignVCenter);
}

void EditField::TextColor(Color value)
{
    m_textColor = value;
    SetDesignColour(*widget(), QPalette::Text, value);
}

void EditField::BackColor(Color value)
{
    m_backColor = value;
    SetDesignColour(*widget(), QPalette::Base, value);
}

bool EditField::Password() const
{
    return widget()->echoMode() == QLineEdit::Password;
}

void EditField::Password(bool value)
{
    widget()->setEchoMode(value ? QLineEdit::Password : QLineEdit::Normal);
}

bool EditField::Border() const
{
    return widget()->hasFrame();
}

void EditField::Border(bool value)
{
    widget()->setFrame(value);
}
