// A window: building and closing it, its properties, its members, and its geometry.
#include "framework/gui/window.h"

#include "framework/gui/group_box.h"
#include "framework/gui/private/qt_convert.h"
#include "framework/gui/runtime.h"
#include "framework/gui/private/window_shell.h"
#include "framework/gui/private/application_internals.h"

#include <QApplication>
#include <QMenuBar>
#include <QPalette>

#include <algorithm>

namespace {

// The open windows, front-most first. The list holds them: a window without any other owner
// lives as long as it is open.
std::vector<Ref<Window>>& openList()
{
    static std::vector<Ref<Window>> windows;
    return windows;
}

void removeFromList(Window* window)
{
    auto& windows = openList();
    windows.erase(std::remove_if(windows.begin(), windows.end(), [window](const Ref<Window>& w) { return w.get() == window; }),
        windows.end());
}

void moveToFront(Window* window)
{
    auto& windows = openList();
    auto it = std::find_if(windows.begin(), windows.end(), [window](const Ref<Window>& w) { return w.get() == window; });
    if (it != windows.end())
        std::rotate(windows.begin(), it, it + 1);
}

} // namespace

Window::Window()
    : m_shell(std::make_unique<WindowShell>(*this))
{
    // Quitting is the program's decision (its main window's Close calls Quit), never Qt's.
    QApplication::setQuitOnLastWindowClosed(false);
    applyWindowFlags();
    applyGeometry();
}

Window::~Window()
{
    // A control that someone still holds keeps its widget, taken out of the window first.
    for (auto& member : m_members) {
        if (member.member.shared().use_count() > 1) {
            if (auto control = member.member.As<RectControl>())
                control->DetachWidget({});
        }
    }
    m_members.clear();
}

void Window::Constructor()
{
    if (m_open || m_constructed)
        return;
    auto self = weak_from_this().lock();
    if (!self)
        throw RuntimeException("A window must be made with MakeRef before it is constructed");
    openList().insert(openList().begin(), Ref<Window>(self));
    m_open = true;
    try {
        Layout();
        CreateControls();
        AddMenuHandlers(*this);
    } catch (const RuntimeException&) {
        m_open = false;
        removeFromList(this);
        throw;
    }
    m_shell->buildMenus(shownMenuBar());
    applyGeometry();
    orderFocus();
    nameFieldsByLabels();
    m_constructed = true;
    if (OnOpen) {
        auto hook = OnOpen;
        RunGuarded(hook);
    }
    if (m_open && m_visible)
        Show();
}

void Window::Show()
{
    if (!m_open)
        return;
    m_visible = true;
    if (!m_constructed)
        return; // Constructor shows it once it is built
    if (m_fullScreen)
        m_shell->top->showFullScreen();
    else
        m_shell->top->show();
    m_shell->top->raise();
    m_shell->top->activateWindow();
    moveToFront(this);
}

void Window::Close()
{
    if (!m_open || m_closing)
        return;
    auto self = shared_from_this();
    m_closing = true;
    if (OnClose) {
        auto hook = OnClose;
        RunGuarded(hook);
    }
    m_open = false;
    m_shell->top->hide();
    // A non-visual member keeps its window counted; letting go here ends that cycle.
    for (auto& member : m_members) {
        if (auto child = member.member.As<PaneChild>())
            child->SetWindow(nullptr);
    }
    removeFromList(this);
}

String Window::Title() const
{
    return fromQt(m_shell->top->windowTitle());
}

void Window::Title(const String& value)
{
    m_shell->top->setWindowTitle(toQt(value));
}

int32_t Window::Width() const
{
    return m_width;
}

// The size setters apply their value even when it is unchanged: the limits' setters call them
// with the present size to clamp it to the new limits and lay the window out again, and the
// flags' setters likewise hand the top-level widget its flags as they now stand. Returning early
// would change when the window's geometry and flags reach the screen.
void Window::Width(int32_t value)
{
    moveContent(std::clamp(value, m_minWidth, std::max(m_minWidth, m_maxWidth)), m_height);
    applyGeometry();
}

int32_t Window::Height() const
{
    return m_height;
}

void Window::Height(int32_t value)
{
    moveContent(m_width, std::clamp(value, m_minHeight, std::max(m_minHeight, m_maxHeight)));
    applyGeometry();
}

void Window::MinWidth(int32_t value)
{
    m_minWidth = value;
    Width(m_width);
}

void Window::MinHeight(int32_t value)
{
    m_minHeight = value;
    Height(m_height);
}

void Window::MaxWidth(int32_t value)
{
    m_maxWidth = value;
    Width(m_width);
}

void Window::MaxHeight(int32_t value)
{
    m_maxHeight = value;
    Height(m_height);
}

void Window::Resizeable(bool value)
{
    m_resizeable = value;
    applyGeometry();
}

void Window::CloseButton(bool value)
{
    m_closeButton = value;
    applyWindowFlags();
}

void Window::MinimizeButton(bool value)
{
    m_minimizeButton = value;
    applyWindowFlags();
}

void Window::MaximizeButton(bool value)
{
    m_maximizeButton = value;
    applyWindowFlags();
}

bool Window::Visible() const
{
    return m_open && m_visible;
}

void Window::Visible(bool value)
{
    if (value)
        return Show();
    m_visible = false;
    m_shell->top->hide();
}

void Window::MenuBar(const Ref<::MenuBar>& value)
{
    m_menuBar = value;
    if (m_constructed) {
        m_shell->buildMenus(shownMenuBar());
        applyGeometry();
    }
}

void Window::MenuBarVisible(bool value)
{
    m_menuBarVisible = value;
    if (m_constructed) {
        m_shell->buildMenus(shownMenuBar());
        applyGeometry();
    }
}

// Drops of any kind are taken by the window as a whole, so the controls give theirs up.
void Window::AcceptFileDrop(const String& fileType)
{
    (void)fileType;
    m_acceptsDrops = true;
    m_shell->content->setAcceptDrops(true);
    for (auto& member : m_members) {
        if (auto control = member.member.As<RectControl>())
            control->Widget()->setAcceptDrops(false);
    }
}

void Window::adopt(const std::shared_ptr<WindowMember>& member)
{
    m_members.push_back(Member { String(), kNoIndex, Ref<WindowMember>(member) });
    if (auto* control = dynamic_cast<Control*>(member.get()))
        control->AttachTo(*this, {});
    if (auto* child = dynamic_cast<PaneChild*>(member.get())) {
        if (auto self = weak_from_this().lock())
            child->SetWindow(Ref<Window>(self));
    }
    if (m_acceptsDrops) {
        if (auto* control = dynamic_cast<RectControl*>(member.get()))
            control->Widget()->setAcceptDrops(false);
    }
}

void Window::AddControl(const String& name, const Ref<WindowMember>& member)
{
    auto control = member.As<Control>();
    AddControl(name, control ? control->Index() : kNoIndex, member);
}

void Window::AddControl(const String& name, int32_t index, const Ref<WindowMember>& member)
{
    auto it = std::find_if(m_members.begin(), m_members.end(), [&](const Member& m) { return m.member == member; });
    if (it == m_members.end()) {
        adopt(member.shared());
        it = m_members.end() - 1;
    }
    it->name = name;
    it->index = index;
    if (auto control = member.As<Control>()) {
        if (control->Name().empty())
            control->Name(name);
    }
}

Ref<WindowMember> Window::ControlByName(const String& name) const
{
    for (const auto& m : m_members) {
        if (!m.name.empty() && m.name == name)
            return m.member;
    }
    return nullptr;
}

Ref<WindowMember> Window::ControlByNameIndex(const String& name, int32_t index) const
{
    for (const auto& m : m_members) {
        if (!m.name.empty() && m.name == name && m.index == index)
            return m.member;
    }
    return nullptr;
}

void Window::AddMenuHandler(const String& itemName, std::function<bool()> handler)
{
    m_menuHandlers.Add(itemName, std::move(handler));
}

QWidget* Window::ContentWidget(FrameworkKey) const
{
    return m_shell->content;
}

QWidget* Window::TopLevelWidget(FrameworkKey) const
{
    return m_shell->top;
}

void Window::ContentResized(FrameworkKey, int32_t width, int32_t height)
{
    const int32_t contentHeight = height - m_shell->menuBarHeight();
    m_shell->layoutChildren(width, contentHeight);
    if (width != m_width || contentHeight != m_height)
        moveContent(width, contentHeight);
    updateReach();
}

void Window::Activated(FrameworkKey)
{
    moveToFront(this);
}

// Controls locked to the right or bottom edge keep their distance to it: they move, or stretch
// when locked to the opposite edge as well.
void Window::moveContent(int32_t width, int32_t height)
{
    const int32_t dx = width - m_width, dy = height - m_height;
    m_width = width;
    m_height = height;
    if (dx == 0 && dy == 0)
        return;
    for (auto& m : m_members) {
        auto control = m.member.As<RectControl>();
        if (!control)
            continue;
        if (dx != 0 && control->LockRight()) {
            if (control->LockLeft())
                control->Width(control->Width() + dx);
            else
                control->Left(control->Left() + dx);
        }
        if (dy != 0 && control->LockBottom()) {
            if (control->LockTop())
                control->Height(control->Height() + dy);
            else
                control->Top(control->Top() + dy);
        }
    }
}

void Window::applyGeometry()
{
    auto* top = m_shell->top;
    const int bar = m_shell->menuBarHeight();
    if (!m_resizeable) {
        top->setFixedSize(m_width, m_height + bar);
    } else {
        top->setMinimumSize(m_minWidth, m_minHeight + bar);
        top->setMaximumSize(std::min(m_maxWidth, QWIDGETSIZE_MAX), std::min(m_maxHeight + bar, QWIDGETSIZE_MAX));
        top->resize(m_width, m_height + bar);
    }
    m_shell->layoutChildren(m_width, m_height);
    updateReach();
}

void Window::applyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (m_closeButton)
        flags |= Qt::WindowCloseButtonHint;
    if (m_minimizeButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (m_maximizeButton)
        flags |= Qt::WindowMaximizeButtonHint;
    auto* top = m_shell->top;
    if (top->windowFlags() == flags)
        return;
    const bool shown = top->isVisible();
    top->setWindowFlags(flags);
    if (shown)
        top->show();
}

void Window::applyBackColor()
{
    ::ContentWidget* content = m_shell->content;
    content->setAutoFillBackground(m_hasBackColor);
    QPalette palette = content->palette();
    if (m_hasBackColor)
        palette.setColor(QPalette::Window, toQColor(m_backColor));
    else
        palette = QPalette();
    content->setPalette(palette);
}

Ref<Window> GetImplicitWindow(const String& className)
{
    for (const auto& window : openList()) {
        if (window->ClassName() == className)
            return window;
    }
    return nullptr;
}

std::vector<Ref<Window>> OpenWindows()
{
    return openList();
}

void ForgetOpenWindows()
{
    openList().clear();
}
