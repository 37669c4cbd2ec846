#pragma once

#include "framework/gui/designed_control.h"

#include <memory>

class QLabel;
class RepaintPacer;

// A text shown in the window, fitted to the room its control gives it.
class Label : public DesignedControl<Label, QLabel> {
public:
    Label();
    ~Label() override;
    // The label's own design values, after the head: black, left-aligned, one line, transparent.
    struct Design {
        // Only a label whose text is a design value carries one.
        std::optional<String> text {};
        // 0 left, 1 centre, 2 right.
        int32_t textAlign { 0 };
        Color textColor { 0, 0, 0 };
        bool multiline { false }, selectable { false }, transparent { true };
        DesignFont font {};
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

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
    QFont fitFont(const QFont& design) override;
    // The entries after the tab index (and a static text's TabStop), in the order labels and
    // static texts share.
    static void DeclareTextEntries(ControlTable<Design>& table);

private:
    String m_text;
    int32_t m_textAlign { 0 };
    Color m_textColor {};
    bool m_multiline { false }, m_transparent { true }, m_selectable { false };
    // Held by pointer: the pacer is the framework's own, out of the program's sight.
    std::unique_ptr<RepaintPacer> m_pacer;
};
