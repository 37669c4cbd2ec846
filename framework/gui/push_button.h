#pragma once

#include "framework/gui/captioned_control.h"
#include "framework/gui/designed_control.h"

class QPushButton;

// A push button, raising Action when pushed; the window's Return and Escape keys push its
// default and cancel buttons.
class PushButton : public DesignedControl<PushButton, QPushButton, CaptionedControl> {
public:
    PushButton();
    // The button's own design values, after the head.
    struct Design {
        bool isDefault { false }, isCancel { false };
        int32_t buttonStyle { 0 };
        DesignFont font {};
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

    // The window's Return-key button.
    bool Default() const { return m_default; }
    void Default(bool value);
    // The window's Escape-key button.
    bool Cancel() const { return m_cancel; }
    void Cancel(bool value) { m_cancel = value; }
    // Clicks the button as the user would (only when enabled).
    void Push();

    std::function<void(PushButton&)> OnAction;

private:
    bool m_default { false }, m_cancel { false };
};
