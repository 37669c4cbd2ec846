#pragma once

// What a window holds by name: its members, and among them the controls with a place on screen,
// their common properties and their design-list door.

#include "framework/gui/design_properties.h"
#include "framework/gui/framework_key.h"
#include "framework/gui/menu_handlers.h"
#include "framework/core/ref.h"
#include "framework/core/text.h"

#include <Qt>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QFont;
class Window;

// Anything a window holds by name: controls, and non-visual members such as a thread.
class WindowMember {
public:
    virtual ~WindowMember() = default;
};

// How the framework tells a non-visual member which window and index it has.
class PaneChild : public virtual WindowMember {
public:
    virtual void SetWindow(const Ref<::Window>& window) = 0;
    virtual Ref<::Window> Window() = 0;
    virtual int32_t Index_() = 0;
    virtual void SetIndex(int32_t index) = 0;
};

class Control : public virtual WindowMember {
public:
    String Name() const { return m_name; }
    void Name(const String& value) { m_name = value; }
    // The place in a control array; kNoIndex outside one.
    int32_t Index() const { return m_index; }
    void Index(int32_t value) { m_index = value; }
    // The window that holds the control; nil before it is placed on one.
    Ref<::Window> Window() const;

    // Framework-internal: called by Window::New. The control joins the window between the two
    // hooks below.
    void AttachTo(::Window& window, FrameworkKey key);

protected:
    // The joining hooks of a control class. Joining runs before the control has its window (an
    // exception from it ends the joining there), Joined once it has the window and shows there.
    virtual void Joining(::Window& window) { (void)window; }
    virtual void Joined(::Window& window) { (void)window; }

    std::weak_ptr<::Window> m_window;

private:
    // The framework's own part of joining, after the window is set: a control with a place on
    // screen puts its widget there.
    virtual void attachWidget(::Window& window) { (void)window; }

    String m_name;
    int32_t m_index { kNoIndex };
};

// A control with a place on screen. Coordinates are the window's content area, also for a
// control inside a group box.
class RectControl : public Control {
public:
    ~RectControl() override;

    bool Enabled() const { return m_enabled; }
    void Enabled(bool value);
    bool Visible() const { return m_visible; }
    void Visible(bool value);
    int32_t Left() const { return m_left; }
    void Left(int32_t value);
    int32_t Top() const { return m_top; }
    void Top(int32_t value);
    int32_t Width() const { return m_width; }
    void Width(int32_t value);
    int32_t Height() const { return m_height; }
    void Height(int32_t value);
    bool LockLeft() const { return m_lockLeft; }
    void LockLeft(bool value) { m_lockLeft = value; }
    bool LockTop() const { return m_lockTop; }
    void LockTop(bool value) { m_lockTop = value; }
    bool LockRight() const { return m_lockRight; }
    void LockRight(bool value);
    bool LockBottom() const { return m_lockBottom; }
    void LockBottom(bool value);
    int32_t TabIndex() const { return m_tabIndex; }
    void TabIndex(int32_t value) { m_tabIndex = value; }
    bool TabStop() const { return m_tabStop; }
    void TabStop(bool value);
    String HelpTag() const { return m_helpTag; }
    void HelpTag(const String& value);
    String TextFont() const { return m_textFont; }
    void TextFont(const String& value);
    // Points; 0 means the framework's default size.
    float TextSize() const { return m_textSize; }
    void TextSize(float value);
    int32_t TextUnit() const { return m_textUnit; }
    void TextUnit(int32_t value) { m_textUnit = value; }
    bool Bold() const { return m_bold; }
    void Bold(bool value);
    bool Italic() const { return m_italic; }
    void Italic(bool value);
    bool Underline() const { return m_underline; }
    void Underline(bool value);
    // The name of the group box that holds the control, "" for the window.
    String InitialParent() const { return m_initialParent; }
    void InitialParent(const String& value);

    // Applies a packed design-property list (the head, then the class's own entries).
    void SetProperties(const String& designList);
    // Routes a menu item to this control while it has the focus.
    void AddMenuHandler(const String& itemName, std::function<bool()> handler);

    QWidget* Widget() const { return m_widget; }
    std::function<bool()> MenuHandler(const String& itemName) const { return m_menuHandlers.Find(itemName); }
    // The window's widgets go away while the control lives on.
    void DetachWidget(FrameworkKey);
    // A control outside the window's visible content area takes no focus until it is back in view.
    void Reachable(FrameworkKey, bool value);
    // Whether Tab stops at the control once it is in view.
    bool TakesTabFocus(FrameworkKey) const { return focusPolicy() & Qt::TabFocus; }
    // The name a screen reader announces; "" leaves it to the control's text or its label.
    String AccessibleName() const;
    void AccessibleName(const String& value);

protected:
    explicit RectControl(QWidget* widget);
    // Applies a list by the table of the control's class (see DesignedControl).
    virtual void applyDesignList(const String& designList) = 0;
    // Places the widget at the control's window coordinates, inside its group box if it has one.
    void place();
    // Sets the design font, fitted to the control's text; called again whenever the text or
    // the room for it changes.
    void applyFont();
    // The font the widget shows for the design font: by default a smaller size of it where a
    // caption or a popup's row would not fit.
    virtual QFont fitFont(const QFont& design);
    // Calls an event hook; an exception that leaves it goes to UnhandledException.
    template<class Hook, class... Args>
    static void fire(const Hook& hook, Args&&... args)
    {
        if (!hook)
            return;
        auto copy = hook; // the hook may close the window and so destroy its control
        guarded([&] { copy(std::forward<Args>(args)...); });
    }
    static void guarded(const std::function<void()>& body);
    // The widget's focus policy while the control is in view (kept aside while it is not).
    Qt::FocusPolicy focusPolicy() const { return m_reachable ? m_widget->focusPolicy() : m_reachPolicy; }
    void focusPolicy(Qt::FocusPolicy policy);

private:
    void attachWidget(::Window& window) final;

    QWidget* m_widget { nullptr };
    int32_t m_left { 0 }, m_top { 0 }, m_width { 0 }, m_height { 0 };
    bool m_lockLeft { true }, m_lockTop { true }, m_lockRight { false }, m_lockBottom { false };
    int32_t m_tabIndex { 0 };
    bool m_tabStop { true };
    String m_helpTag, m_textFont { "System" }, m_initialParent;
    float m_textSize { 0 };
    int32_t m_textUnit { 0 };
    bool m_bold { false }, m_italic { false }, m_underline { false };
    bool m_enabled { true }, m_visible { true };
    bool m_reachable { true };
    Qt::FocusPolicy m_reachPolicy { Qt::NoFocus };
    MenuHandlers m_menuHandlers;
};
