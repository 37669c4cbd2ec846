#pragma once

#include "framework/gui/control.h"

class QLabel;

class Label : public RectControl {
public:
    Label();
    static DesignTypeOf DesignTypes();

    String Text() const;
    void Text(const String& value);
    // 0 left, 1 centre, 2 right.
    int32_t TextAlign() const { return m_textAlign; }
    void TextAlign(int32_t value);
    Color TextColor() const { return m_textColor; }
    void TextColor(Color value);
    bool Multiline() const { return m_multiline; }
    void Multiline(bool value);
    bool Transparent() const { return m_transparent; }
    void Transparent(bool value);
    bool Selectable() const { return m_selectable; }
    void Selectable(bool value);

protected:
    explicit Label(QLabel* widget);
    const DesignTable<RectControl>& Table() const override;
    QFont fitFont(const QFont& design) override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    // Text, TextAlign, TextColor, Multiline, Selectable and Transparent, shared with StaticText.
    static void AddTextEntries(DesignTable<RectControl>& table);
    QLabel* label() const;

private:
    String m_text;
    int32_t m_textAlign { 0 };
    Color m_textColor {};
    bool m_multiline { false }, m_transparent { true }, m_selectable { false };
};
