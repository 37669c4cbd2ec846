#pragma once

// Framework-internal: the Qt side of a Window. A top-level widget holds the window's own menu
// bar above a content widget whose size is the window's Width and Height.

#include "framework/gui/menu_item.h"
#include "framework/core/ref.h"

#include <QWidget>

#include <utility>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class Window;

class TopLevelWidget final : public QWidget {
public:
    // Cleared when the Window goes away; the widget itself is deleted later.
    Window* owner { nullptr };

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
};

class ContentWidget final : public QWidget {
public:
    explicit ContentWidget(TopLevelWidget* top);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Window* owner() const;
    TopLevelWidget* m_top;
};

struct WindowShell {
    explicit WindowShell(Window& owner);
    ~WindowShell();

    // Builds this window's menus from the model (nil or hidden: no menu bar).
    void buildMenus(const Ref<MenuItem>& model);
    // Actions follow the items' Enabled state.
    void syncActions();
    int menuBarHeight() const;
    // Puts the menu bar and the content in place for a content area of that size.
    void layoutChildren(int width, int height);
    // The desktop's close key (Ctrl+W) closes the window while `on`.
    void closeShortcut(bool on);

    TopLevelWidget* top { nullptr };
    ContentWidget* content { nullptr };
    QMenuBar* menuBar { nullptr };
    Ref<MenuItem> builtModel;
    uint64_t builtGeneration { 0 };
    std::vector<std::pair<QAction*, Ref<MenuItem>>> actions;
    std::vector<QObject*> shortcuts;
    QObject* closeKey { nullptr };

private:
    void addItems(QMenu* menu, const Ref<MenuItem>& parent);
    void addMenuKeys();
};

// "Cmd+Q" becomes Ctrl+Q; "Cmd+?" answers to Ctrl+? (on most keyboards Ctrl+Shift+/) and to
// Ctrl+Shift+?.
QList<QKeySequence> ShortcutKeys(const String& shortcut);
