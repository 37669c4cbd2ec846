#pragma once

// A top-level window of the framework, and what is dropped on one.

#include "framework/gui/control.h"
#include "framework/gui/design_properties.h"
#include "framework/core/folder_item.h"
#include "framework/core/ref.h"
#include "framework/core/text.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class MenuBar;
class MenuItem;
class QWidget;
struct WindowShell; // the Qt side of a window; private to the framework

// What was dropped on a window: its first item, and the next ones on request.
class DragItem final {
public:
    explicit DragItem(std::vector<String> paths, bool hasOther = false);

    // True when the current item is a local file or folder.
    bool FolderItemAvailable() const;
    Ref<::FolderItem> FolderItem() const;
    // Moves to the next dropped item; False when there is none.
    bool NextItem();

private:
    std::vector<String> m_paths;
    size_t m_current { 0 };
};

// A top-level window. Width and Height are its content area (the menu bar lies outside it).
class Window : public std::enable_shared_from_this<Window> {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The class literal by which the implicit-window service finds windows of this class.
    virtual String ClassName() const = 0;

    // Builds and opens the window: Layout, CreateControls, AddMenuHandlers, the tab order, then
    // the Open event once every control exists; shows it when Visible.
    void Constructor();
    void Show();
    // Raises Close, then closes the window and drops it from the list of open windows.
    void Close();
    bool IsOpen() const { return m_open; }

    String Title() const;
    void Title(const String& value);
    int32_t Width() const;
    void Width(int32_t value);
    int32_t Height() const;
    void Height(int32_t value);
    int32_t MinWidth() const { return m_minWidth; }
    void MinWidth(int32_t value);
    int32_t MinHeight() const { return m_minHeight; }
    void MinHeight(int32_t value);
    int32_t MaxWidth() const { return m_maxWidth; }
    void MaxWidth(int32_t value);
    int32_t MaxHeight() const { return m_maxHeight; }
    void MaxHeight(int32_t value);
    bool Resizeable() const { return m_resizeable; }
    void Resizeable(bool value);
    bool CloseButton() const { return m_closeButton; }
    void CloseButton(bool value);
    bool MinimizeButton() const { return m_minimizeButton; }
    void MinimizeButton(bool value);
    bool MaximizeButton() const { return m_maximizeButton; }
    void MaximizeButton(bool value);
    bool Visible() const;
    void Visible(bool value);
    Ref<::MenuBar> MenuBar() const { return m_menuBar; }
    void MenuBar(const Ref<::MenuBar>& value);
    bool MenuBarVisible() const { return m_menuBarVisible; }
    void MenuBarVisible(bool value);
    // A secondary window (help, about) closes with Escape and with the desktop's close key
    // (Ctrl+W), when no cancel button takes Escape first.
    bool ClosesByKeyboard() const { return m_closesByKeyboard; }
    void ClosesByKeyboard(bool value);

    // Accepts dropped files and folders of the named file type ("all": anything).
    void AcceptFileDrop(const String& fileType);

    // A new control of class T for this window (the framework's __New).
    template<class T, class... Args>
    Ref<T> New(Args&&... args)
    {
        auto control = MakeRef<T>(std::forward<Args>(args)...);
        adopt(control.shared());
        return control;
    }
    // Registers a member under its name (and index, for a control-array member).
    void AddControl(const String& name, const Ref<WindowMember>& member);
    void AddControl(const String& name, int32_t index, const Ref<WindowMember>& member);
    // Nil when the window has no member of that name (and index).
    Ref<WindowMember> ControlByName(const String& name) const;
    Ref<WindowMember> ControlByNameIndex(const String& name, int32_t index) const;
    // Routes the menu item of that name to `handler` while this window is in front.
    void AddMenuHandler(const String& itemName, std::function<bool()> handler);
    // Applies the window's own design-property list (no head).
    void SetProperties(const String& designList);
    static DesignTypeOf DesignTypes();

    // A window's own design list, its entries always in this order; the title is left out when
    // the window sets it in code.
    struct Design {
        int32_t width { 0 }, height { 0 };
        int32_t minWidth { 64 }, minHeight { 64 }, maxWidth { 32000 }, maxHeight { 32000 };
        int32_t frame { 0 };
        bool composite { false };
        std::optional<String> title {};
        bool resizeable { true }, maximizeButton { true }, minimizeButton { true };
    };
    static String DesignListOf(const Design& design);

    // Events.
    std::function<void()> OnOpen;
    std::function<void()> OnClose;
    std::function<void()> OnEnableMenuItems;
    std::function<void(DragItem&, int32_t action)> OnDropObject;
    std::function<bool(int32_t x, int32_t y)> OnMouseDown;

    // Framework-internal: only the framework can make the key.
    QWidget* ContentWidget(FrameworkKey) const;
    QWidget* TopLevelWidget(FrameworkKey) const;
    std::function<bool()> MenuHandler(FrameworkKey, const String& itemName) const { return m_menuHandlers.Find(itemName); }
    // Brings the menus up to date: every item to its AutoEnable value, then EnableMenuItems.
    void RefreshMenus(FrameworkKey);
    // Routes a chosen item: the focused control's handler, then the window's; a QuitMenuItem
    // that neither handled quits.
    void ChooseMenuItem(FrameworkKey, const Ref<MenuItem>& item);
    // Presses the default (or cancel) button when it is enabled and visible; False when none.
    bool PressDefaultButton(FrameworkKey, bool cancel);
    void ContentResized(FrameworkKey, int32_t width, int32_t height);
    void Activated(FrameworkKey);
    bool DispatchMouseDown(FrameworkKey, int32_t x, int32_t y);
    void DispatchDrop(FrameworkKey, DragItem& item, int32_t action);
    bool AcceptsDrops(FrameworkKey) const { return m_acceptsDrops; }

protected:
    // The building hooks that Constructor runs, in this order.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers(Window& window) { (void)window; }

private:
    void adopt(const std::shared_ptr<WindowMember>& member);
    void applyGeometry();
    void moveContent(int32_t width, int32_t height);
    void applyWindowFlags();
    void applyBackColor();
    // Design values that the window keeps without a property of its own.
    void fullScreen(bool value);
    void hasBackColor(bool value);
    void backColor(Color value);
    void orderFocus();
    void updateReach();
    void nameFieldsByLabels();
    Ref<MenuItem> shownMenuBar() const;
    friend struct WindowDesign;

    struct Member {
        String name;
        int32_t index;
        Ref<WindowMember> member;
    };
    std::unique_ptr<WindowShell> m_shell;
    std::vector<Member> m_members;
    std::vector<RectControl*> m_focusOrder;
    MenuHandlers m_menuHandlers;
    Ref<::MenuBar> m_menuBar;
    int32_t m_minWidth { 64 }, m_minHeight { 64 }, m_maxWidth { 32000 }, m_maxHeight { 32000 };
    bool m_resizeable { true }, m_closeButton { true }, m_minimizeButton { true }, m_maximizeButton { true };
    bool m_menuBarVisible { true };
    bool m_open { false }, m_closing { false };
    int32_t m_width { 600 }, m_height { 400 };
    bool m_visible { true }, m_constructed { false }, m_acceptsDrops { false }, m_fullScreen { false };
    bool m_hasBackColor { false };
    bool m_closesByKeyboard { false };
    Color m_backColor { 255, 255, 255 };
};

// The open window of that class, or nil.
Ref<Window> GetImplicitWindow(const String& className);

// The open windows, front-most first.
std::vector<Ref<Window>> OpenWindows();
