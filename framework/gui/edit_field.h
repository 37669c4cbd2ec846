#pragma once

#include "framework/gui/control.h"

class QLineEdit;

class EditField : public RectControl {
public:
    EditField();
    static DesignTypeOf DesignTypes();

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

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QLineEdit* lineEdit() const;

private:
    int32_t m_alignment { 0 };
    Color m_textColor {}, m_backColor { 255, 255, 255 };
};
