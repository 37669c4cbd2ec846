#pragma once

#include "framework/gui/designed_control.h"

class QToolButton;

// Reads open (pointing down) when its value is True.
class DisclosureTriangle : public DesignedControl<DisclosureTriangle, QToolButton> {
public:
    DisclosureTriangle();
    // The triangle's own design values, after the head.
    struct Design {
        bool value { false };
        int32_t facing { 0 };
        bool acceptFocus { false };
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

    bool Value() const;
    void Value(bool value);
    // 0 right-facing when closed, 1 left-facing.
    int32_t Facing() const { return m_facing; }
    void Facing(int32_t value);
    bool AcceptFocus() const { return m_acceptFocus; }
    void AcceptFocus(bool value);

    // Raised when the value changes, by a click or by code.
    std::function<void(DisclosureTriangle&)> OnAction;

private:
    void pointArrow();
    int32_t m_facing { 0 };
    bool m_acceptFocus { false };
};
