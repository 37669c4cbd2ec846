#include "framework/gui/edit_field.h"

#include "framework/gui/design_colour.h"
#include "framework/gui/qt_convert.h"

#include <QLineEdit>

namespace {

// QLineEdit's own default and largest length: no limit.
constexpr int kNoLimit = 32767;

} // namespace

EditField::EditField()
    : DesignedControl(new QLineEdit)
{
    QObject::connect(lineEdit(), &QLineEdit::textChanged, lineEdit(), [this] { fire(OnTextChange, *this); });
    TextColor(m_textColor);
    BackColor(m_backColor);
}

void EditField::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::Enabled | kPresence | kFont | kBinding | Common::InitialParent);
    t.Add("Border", &EditField::Border)
        .Add("Password", &EditField::Password)
        .Add("TextColor", &EditField::TextColor)
        .Add("BackColor", &EditField::BackColor)
        .Add("Text", &EditField::Text)
        .Add("ReadOnly", &EditField::ReadOnly)
        .Add("LimitText", &EditField::LimitText)
        .Add("Alignment", &EditField::Alignment)
        .Add("Mask", &EditField::mask);
    // The field is always one line of plain text without scroll bars, a focus ring of the
    // platform's, no tab characters and no display format.
    for (const char* name : { "Multiline", "ScrollbarHorizontal", "ScrollbarVertical", "Styled", "UseFocusRing", "AcceptTabs" })
        t.Accept<bool>(name);
    t.Accept<String>("Format");
}

String EditField::DesignListOf(const DesignHead& h, const Design& d)
{
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex)
        .Boolean("TabStop", true)
        .Boolean("Border", d.border)
        .Boolean("Multiline", d.multiline)
        .Boolean("ScrollbarHorizontal", d.scrollbarHorizontal)
        .Boolean("ScrollbarVertical", d.scrollbarVertical)
        .Boolean("Styled", d.styled)
        .Boolean("Password", d.password)
        .Boolean("UseFocusRing", d.useFocusRing)
        .Colour("TextColor", d.textColor)
        .Colour("BackColor", d.backColor)
        .Boolean("Enabled", h.enabled)
        .Text("Format", d.format);
    presence(list);
    font(list, d.font)
        .Text("Text", d.text)
        .Text("Mask", d.mask)
        .Boolean("ReadOnly", d.readOnly)
        .Integer("LimitText", d.limitText)
        .Boolean("AcceptTabs", d.acceptTabs)
        .Integer("Alignment", d.alignment);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

QLineEdit* EditField::lineEdit() const { return widget(); }

void EditField::mask(const String& value)
{
    lineEdit()->setInputMask(toQt(value));
}

String EditField::Text() const
{
    return fromQt(lineEdit()->text());
}

void EditField::Text(const String& value)
{
    const QString text = toQt(value);
    if (text == lineEdit()->text())
        return;
    lineEdit()->setText(text);
}

bool EditField::ReadOnly() const
{
    return lineEdit()->isReadOnly();
}

void EditField::ReadOnly(bool value)
{
    lineEdit()->setReadOnly(value);
}

int32_t EditField::LimitText() const
{
    const int length = lineEdit()->maxLength();
    return length >= kNoLimit ? 0 : length;
}

void EditField::LimitText(int32_t value)
{
    lineEdit()->setMaxLength(value > 0 && value < kNoLimit ? value : kNoLimit);
}

void EditField::Alignment(int32_t value)
{
    m_alignment = value;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (value == 2)
        horizontal = Qt::AlignHCenter;
    else if (value == 3)
        horizontal = Qt::AlignRight;
    lineEdit()->setAlignment(horizontal | Qt::AlignVCenter);
}

void EditField::TextColor(Color value)
{
    m_textColor = value;
    SetDesignColour(*lineEdit(), QPalette::Text, value);
}

void EditField::BackColor(Color value)
{
    m_backColor = value;
    SetDesignColour(*lineEdit(), QPalette::Base, value);
}

bool EditField::Password() const
{
    return lineEdit()->echoMode() == QLineEdit::Password;
}

void EditField::Password(bool value)
{
    lineEdit()->setEchoMode(value ? QLineEdit::Password : QLineEdit::Normal);
}

bool EditField::Border() const
{
    return lineEdit()->hasFrame();
}

void EditField::Border(bool value)
{
    lineEdit()->setFrame(value);
}
