#pragma once

#include "framework/gui/control.h"

class QPushButton;

class PushButton : public RectControl {
public:
    PushButton();
    static DesignTypeOf DesignTypes();

    String Caption() const;
    void Caption(const String& value);
    // The window's Return-key button.
    bool Default() const { return m_default; }
    void Default(bool value);
    // The window's Escape-key button.
    bool Cancel() const { return m_cancel; }
    void Cancel(bool value) { m_cancel = value; }
    // Clicks the button as the user would (only when enabled).
    void Push();

    std::function<void(PushButton&)> OnAction;

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QPushButton* pushButton() const;

private:
    bool m_default { false }, m_cancel { false };
};
