#include "framework/gui/popup_menu.h"

#include "framework/gui/qt_convert.h"

#include <QComboBox>
#include <QSignalBlocker>

PopupMenu::PopupMenu()
    : DesignedControl(new QComboBox)
{
    QObject::connect(comboBox(), &QComboBox::currentIndexChanged, comboBox(), [this] { fire(OnChange, *this); });
}

void PopupMenu::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::Enabled | kPresence | kFont | kBinding | Common::InitialParent);
    t.Add("InitialValue", &PopupMenu::InitialValue).Add("ListIndex", &PopupMenu::ListIndex);
}

String PopupMenu::DesignListOf(const DesignHead& h, const Design& d)
{
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Boolean("Enabled", h.enabled);
    // The rows stand before the index that selects one of them.
    if (d.initialValue)
        list.Text("InitialValue", *d.initialValue);
    list.Integer("ListIndex", d.listIndex);
    presence(list);
    font(list, d.font);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

QComboBox* PopupMenu::comboBox() const { return widget(); }

// The new rows come with no row selected; a selection that existed before is a change.
void PopupMenu::InitialValue(const String& rows)
{
    m_initialValue = rows;
    const int32_t before = ListIndex();
    {
        QSignalBlocker quiet(comboBox());
        comboBox()->clear();
        if (!rows.empty()) {
            for (const QString& row : toQt(rows).split(QLatin1Char(kRowSeparator)))
                comboBox()->addItem(row);
        }
        comboBox()->setCurrentIndex(-1);
    }
    if (before != -1)
        fire(OnChange, *this);
}

int32_t PopupMenu::ListIndex() const
{
    return comboBox()->currentIndex();
}

// A row outside the list selects none, as -1 does: a design index may stand before any row exists.
void PopupMenu::ListIndex(int32_t value)
{
    if (value < -1 || value >= ListCount())
        value = -1;
    if (value == ListIndex())
        return;
    comboBox()->setCurrentIndex(value);
}

int32_t PopupMenu::ListCount() const
{
    return comboBox()->count();
}

String PopupMenu::List(int32_t row) const
{
    if (row < 0 || row >= ListCount())
        return {};
    return fromQt(comboBox()->itemText(row));
}

String PopupMenu::Text() const
{
    return fromQt(comboBox()->currentText());
}

// Qt selects the first row of an empty list by itself; a row added here changes no selection.
void PopupMenu::AddRow(const String& text)
{
    const int32_t before = ListIndex();
    QSignalBlocker quiet(comboBox());
    comboBox()->addItem(toQt(text));
    comboBox()->setCurrentIndex(before);
}

void PopupMenu::DeleteAllRows()
{
    comboBox()->clear(); // raises Change when a row was selected
}
