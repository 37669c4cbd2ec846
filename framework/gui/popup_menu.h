#pragma once

#include "framework/gui/designed_control.h"

class QComboBox;

// A popup menu of text rows, raising Change when the selected row changes.
class PopupMenu : public DesignedControl<PopupMenu, QComboBox> {
public:
    PopupMenu();
    // The popup's own design values, after the head.
    struct Design {
        // The rows (carriage-return separated), only for a popup whose rows are design values.
        std::optional<String> initialValue {};
        int32_t listIndex { 0 };
        DesignFont font {};
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);
    // Replaces the rows by the text's rows, split at carriage returns.
    void InitialValue(const String& rows);
    String InitialValue() const { return m_initialValue; }
    // The selected row from 0; -1 for none.
    int32_t ListIndex() const;
    void ListIndex(int32_t value);
    int32_t ListCount() const;
    String List(int32_t row) const;
    String Text() const;
    void AddRow(const String& text);
    void DeleteAllRows();

    // Raised when the selected row changes, by the user or by code.
    std::function<void(PopupMenu&)> OnChange;

private:
    String m_initialValue;
};
