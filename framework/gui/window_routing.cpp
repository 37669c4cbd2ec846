// The framework's doors into a window: menus brought up to date and chosen, the default and
// cancel buttons pressed by their keys, and clicks and drops handed to the window's events.
#include "framework/gui/window.h"

#include "framework/gui/application.h"
#include "framework/gui/private/edit_actions.h"
#include "framework/gui/private/held_events.h"
#include "framework/gui/menu_item.h"
#include "framework/gui/push_button.h"
#include "framework/gui/runtime.h"
#include "framework/gui/private/window_shell.h"
#include "framework/gui/private/application_internals.h"

#include <QWidget>

namespace {

void setAutoEnable(const Ref<MenuItem>& item)
{
    item->Enabled(item->AutoEnable());
    for (int32_t i = 0; i < item->Count(); ++i)
        setAutoEnable(item->Item(i));
}

} // namespace

Ref<MenuItem> Window::shownMenuBar() const
{
    if (!m_menuBarVisible)
        return nullptr;
    if (m_menuBar)
        return m_menuBar;
    if (auto app = TheApplication())
        return app->MenuBar();
    return nullptr;
}

void Window::RefreshMenus(FrameworkKey)
{
    Ref<MenuItem> model = shownMenuBar();
    if (!model)
        return;
    if (model != m_shell->builtModel || model->Generation({}) != m_shell->builtGeneration) {
        m_shell->buildMenus(model);
        applyGeometry();
    }
    setAutoEnable(model);
    EnableEditItems(model, m_shell->top->focusWidget());
    auto self = shared_from_this();
    if (OnEnableMenuItems) {
        auto hook = OnEnableMenuItems;
        RunGuarded(hook);
    }
    m_shell->syncActions();
}

void Window::ChooseMenuItem(FrameworkKey key, const Ref<MenuItem>& item)
{
    auto self = shared_from_this();
    if (HeldEvents::Holding())
        return HeldEvents::Deliver([self, key, item] { self->ChooseMenuItem(key, item); });
    const String name = item->Name();
    auto run = [](const std::function<bool()>& handler) {
        bool handled = false;
        RunGuarded([&] { handled = handler(); });
        return handled;
    };
    if (QWidget* focus = m_shell->top->focusWidget()) {
        for (const auto& m : m_members) {
            auto control = m.member.As<RectControl>();
            if (!control || !(control->Widget() == focus || control->Widget()->isAncestorOf(focus)))
                continue;
            if (auto handler = control->MenuHandler(name); handler && run(handler))
                return;
            break;
        }
    }
    if (auto handler = m_menuHandlers.Find(name); handler && run(handler))
        return;
    if (PerformEditAction(name, m_shell->top->focusWidget()))
        return;
    if (item.As<QuitMenuItem>())
        Quit(0);
}

bool Window::PressDefaultButton(FrameworkKey, bool cancel)
{
    for (const auto& m : m_members) {
        auto button = m.member.As<PushButton>();
        if (!button || !(cancel ? button->Cancel() : button->Default()))
            continue;
        if (!button->Enabled() || !button->Visible() || !button->Widget()->isEnabled())
            return false;
        button->Push();
        return true;
    }
    return false;
}

bool Window::DispatchMouseDown(FrameworkKey, int32_t x, int32_t y)
{
    if (!OnMouseDown)
        return false;
    auto self = shared_from_this();
    auto hook = OnMouseDown;
    bool handled = false;
    RunGuarded([&] { handled = hook(x, y); });
    return handled;
}

void Window::DispatchDrop(FrameworkKey key, DragItem& item, int32_t action)
{
    if (!OnDropObject)
        return;
    auto self = shared_from_this();
    if (HeldEvents::Holding()) {
        return HeldEvents::Deliver([self, key, item, action]() mutable { self->DispatchDrop(key, item, action); });
    }
    auto hook = OnDropObject;
    RunGuarded([&] { hook(item, action); });
}
