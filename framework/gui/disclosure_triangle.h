#pragma once

#include "framework/gui/control.h"

class QToolButton;

// Reads open (pointing down) when its value is True.
class DisclosureTriangle : public RectControl {
public:
    DisclosureTriangle();
    static DesignTypeOf DesignTypes();

    bool Value() const;
    void Value(bool value);
    // 0 right-facing when closed, 1 left-facing.
    int32_t Facing() const { return m_facing; }
    void Facing(int32_t value);
    bool AcceptFocus() const { return m_acceptFocus; }
    void AcceptFocus(bool value);

    // Raised when the value changes, by a click or by code.
    std::function<void(DisclosureTriangle&)> OnAction;

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QToolButton* toolButton() const;

private:
    void pointArrow();
    int32_t m_facing { 0 };
    bool m_acceptFocus { false };
};
