// A popup menu of text rows.
#include "framework/gui/popup_menu.h"

#include "framework/gui/private/qt_convert.h"

#include <QComboBox>
#include <QSignalBlocker>

PopupMenu::PopupMenu()
    : DesignedControl(new QComboBox)
{
    QObject::connect(widget(), &QComboBox::currentIndexChanged, widget(), [this] { fire(OnChange, *this); });
}

// The rows stand before the index that selects one of them.
void PopupMenu::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop, Common::Enabled)
        .Add("InitialValue", &PopupMenu::InitialValue, &Design::initialValue)
        .Add("ListIndex", &PopupMenu::ListIndex, &Design::listIndex)
        .Add(Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Font(&Design::font)
        .Add(Common::DataSource, Common::DataField, Common::InitialParent);
}

// The new rows come with no row selected; a selection that existed before is a change.
void PopupMenu::InitialValue(const String& rows)
{
    m_initialValue = rows;
    const int32_t before = ListIndex();
    {
        QSignalBlocker quiet(widget());
        widget()->clear();
        if (!rows.empty()) {
            for (const QString& row : toQt(rows).split(QLatin1Char(kRowSeparator)))
                widget()->addItem(row);
        }
        widget()->setCurrentIndex(-1);
    }
    if (before != -1)
        fire(OnChange, *this);
}

int32_t PopupMenu::ListIndex() const
{
    return widget()->currentIndex();
}

// A row outside the list selects none, as -1 does: a design index may stand before any row exists.
void PopupMenu::ListIndex(int32_t value)
{
    if (value < -1 || value >= ListCount())
        value = -1;
    if (value == ListIndex())
        return;
    widget()->setCurrentIndex(value);
}

int32_t PopupMenu::ListCount() const
{
    return widget()->count();
}

String PopupMenu::List(int32_t row) const
{
    if (row < 0 || row >= ListCount())
        return {};
    return fromQt(widget()->itemText(row));
}

String PopupMenu::Text() const
{
    return fromQt(widget()->currentText());
}

// Qt selects the first row of an empty list by itself; a row added here changes no selection.
void PopupMenu::AddRow(const String& text)
{
    const int32_t before = ListIndex();
    QSignalBlocker quiet(widget());
    widget()->addItem(toQt(text));
    widget()->setCurrentIndex(before);
}

void PopupMenu::DeleteAllRows()
{
    widget()->clear(); // raises Change when a row was selected
}
