#include "framework/gui/edit_field.h"

#include "framework/gui/design_colour.h"
#include "framework/gui/qt_convert.h"

#include <QLineEdit>

namespace {

// QLineEdit's own default and largest length: no limit.
constexpr int kNoLimit = 32767;

} // namespace

EditField::EditField()
    : RectControl(new QLineEdit)
{
    QObject::connect(lineEdit(), &QLineEdit::textChanged, lineEdit(), [this] { fire(OnTextChange, *this); });
    TextColor(m_textColor);
    BackColor(m_backColor);
}

const DesignTable<RectControl>& EditField::classTable()
{
    static const DesignTable<RectControl> table = [] {
        using T = DesignType;
        auto self = [](RectControl& c) -> EditField& { return static_cast<EditField&>(c); };
        auto ignored = [](RectControl&, const DesignValue&) {};
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "TabStop", "Enabled", "Visible", "HelpTag", "AutoDeactivate", "TextFont",
                                "Bold", "Italic", "Underline", "DataSource", "DataField", "InitialParent" });
        t.Add("Border", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).Border(designBool(v)); });
        t.Add("Password", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).Password(designBool(v)); });
        t.Add("TextColor", T::Color, [self](RectControl& c, const DesignValue& v) { self(c).TextColor(designColour(v)); });
        t.Add("BackColor", T::Color, [self](RectControl& c, const DesignValue& v) { self(c).BackColor(designColour(v)); });
        t.Add("Text", T::Text, [self](RectControl& c, const DesignValue& v) { self(c).Text(designText(v)); });
        t.Add("ReadOnly", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).ReadOnly(designBool(v)); });
        t.Add("LimitText", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).LimitText(designInt(v)); });
        t.Add("Alignment", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).Alignment(designInt(v)); });
        t.Add("Mask", T::Text, [self](RectControl& c, const DesignValue& v) {
            self(c).lineEdit()->setInputMask(toQt(designText(v)));
        });
        // The field is always one line of plain text without scroll bars, a focus ring of the
        // platform's, no tab characters and no display format.
        for (const char* name : { "Multiline", "ScrollbarHorizontal", "ScrollbarVertical", "Styled", "UseFocusRing", "AcceptTabs" })
            t.Add(name, T::Boolean, ignored);
        t.Add("Format", T::Text, ignored);
        return t;
    }();
    return table;
}

DesignTypeOf EditField::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& EditField::Table() const { return classTable(); }

QLineEdit* EditField::lineEdit() const
{
    return static_cast<QLineEdit*>(Widget());
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
