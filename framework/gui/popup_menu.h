#pragma once

#include "framework/gui/control.h"

class QComboBox;

class PopupMenu : public RectControl {
public:
    PopupMenu();
    static DesignTypeOf DesignTypes();

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

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QComboBox* comboBox() const;

private:
    String m_initialValue;
};
