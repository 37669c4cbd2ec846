#pragma once

#include "framework/gui/designed_control.h"

class QLineEdit;

// A one-line text field, raising TextChange when its text changes.
class EditField : public DesignedControl<EditField, QLineEdit> {
public:
    EditField();
    // The field's own design values, after the head: one line of plain text, black on white.
    struct Design {
        bool border { true }, multiline { false };
        bool scrollbarHorizontal { false }, scrollbarVertical { true };
        bool styled { false }, password { false }, useFocusRing { true };
        Color textColor { 0, 0, 0 }, backColor { 255, 255, 255 };
        String format {};
        DesignFont font {};
        String text {}, mask {};
        bool readOnly { false };
        int32_t limitText { 0 };
        bool acceptTabs { false };
        int32_t alignment { 0 };
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

    String Text() const;
    void Text(const String& value);
    bool ReadOnly() const;
    void ReadOnly(bool value);
    int32_t LimitText() const;
    void LimitText(int32_t value);
    // 0 default (left), 1 left, 2 centre, 3 right.
    int32_t Alignment() const { return m_alignment; }
    void Alignment(int32_t value);
    Color TextColor() const { return m_textColor; }
    void TextColor(Color value);
    Color BackColor() const { return m_backColor; }
    void BackColor(Color value);
    bool Password() const;
    void Password(bool value);
    bool Border() const;
    void Border(bool value);

    // Raised for every change of the text, by the user or by code; not for an unchanged text.
    std::function<void(EditField&)> OnTextChange;

private:
    void mask(const String& value);
    int32_t m_alignment { 0 };
    Color m_textColor {}, m_backColor { 255, 255, 255 };
};
