// The Qt side of a window: its top-level widget, content area, keys, drops and closing.
#include "framework/gui/private/window_shell.h"

#include "framework/gui/private/qt_convert.h"
#include "framework/gui/window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

#include <memory>

namespace {

int32_t dropActionCode(Qt::DropAction action)
{
    switch (action) {
    case Qt::CopyAction:
        return 1;
    case Qt::MoveAction:
        return 2;
    case Qt::LinkAction:
        return 3;
    default:
        return 0;
    }
}

} // namespace

void TopLevelWidget::closeEvent(QCloseEvent* event)
{
    // The close box closes the window as Close does; the widget itself stays until the Window
    // object goes away.
    if (owner && owner->IsOpen()) {
        event->ignore();
        auto keep = owner->shared_from_this();
        owner->Close();
        return;
    }
    QWidget::closeEvent(event);
}

void TopLevelWidget::keyPressEvent(QKeyEvent* event)
{
    // Keys arrive here when the focused control did not take them (an edit field passes Return).
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (owner && plain) {
        auto keep = owner->shared_from_this();
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && owner->PressDefaultButton({}, false))
            return event->accept();
        if (event->key() == Qt::Key_Escape && owner->PressDefaultButton({}, true))
            return event->accept();
        if (event->key() == Qt::Key_Escape && owner->ClosesByKeyboard()) {
            owner->Close();
            return event->accept();
        }
    }
    QWidget::keyPressEvent(event);
}

void TopLevelWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (owner)
        owner->ContentResized({}, width(), height());
}

void TopLevelWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && owner)
        owner->Activated({});
}

ContentWidget::ContentWidget(TopLevelWidget* top)
    : QWidget(top)
    , m_top(top)
{
}

Window* ContentWidget::owner() const
{
    return m_top->owner;
}

void ContentWidget::mousePressEvent(QMouseEvent* event)
{
    // Clicks on the background, and clicks that no control took, are the window's.
    if (Window* window = owner()) {
        auto keep = window->shared_from_this();
        const QPoint at = event->position().toPoint();
        window->DispatchMouseDown({}, at.x(), at.y());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void ContentWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (owner() && owner()->AcceptsDrops({}))
        event->acceptProposedAction();
}

void ContentWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (owner() && owner()->AcceptsDrops({}))
        event->acceptProposedAction();
}

void ContentWidget::dropEvent(QDropEvent* event)
{
    Window* window = owner();
    if (!window || !window->AcceptsDrops({}))
        return;
    auto keep = window->shared_from_this();
    std::vector<String> paths;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl& url : urls)
        paths.push_back(url.isLocalFile() ? localPathFromQt(url) : String());
    DragItem item(std::move(paths), urls.isEmpty());
    event->acceptProposedAction();
    window->DispatchDrop({}, item, dropActionCode(event->dropAction()));
}

WindowShell::WindowShell(Window& owner)
    : top(new TopLevelWidget)
{
    top->owner = &owner;
    top->setAttribute(Qt::WA_QuitOnClose, false);
    content = new ContentWidget(top);
}

WindowShell::~WindowShell()
{
    top->owner = nullptr;
    top->hide();
    // Deferred: the window may be going away inside one of its own widgets' events.
    top->deleteLater();
}

int WindowShell::menuBarHeight() const
{
    if (!menuBar)
        return 0;
    return menuBar->sizeHint().height();
}

void WindowShell::layoutChildren(int width, int height)
{
    const int bar = menuBarHeight();
    if (menuBar)
        menuBar->setGeometry(0, 0, width, bar);
    content->setGeometry(0, bar, width, height);
}

void WindowShell::buildMenus(const Ref<MenuItem>& model)
{
    for (QObject* shortcut : shortcuts)
        delete shortcut;
    shortcuts.clear();
    actions.clear();
    delete menuBar;
    menuBar = nullptr;
    builtModel = model;
    builtGeneration = model ? model->Generation({}) : 0;
    if (!model)
        return;
    menuBar = new QMenuBar(top);
    // The bar belongs to the window, never to a desktop-wide menu.
    menuBar->setNativeMenuBar(false);
    for (int32_t i = 0; i < model->Count(); ++i) {
        Ref<MenuItem> menuItem = model->Item(i);
        QMenu* menu = menuBar->addMenu(captionToQt(menuItem->Text()));
        QObject::connect(menu, &QMenu::aboutToShow, top, [this] {
            if (top->owner)
                top->owner->RefreshMenus({});
        });
        addItems(menu, menuItem);
    }
    addMenuKeys();
    menuBar->show();
}

// As in GNOME and KDE applications: F10 opens the first menu, and Alt with a menu's first letter
// opens that menu. Done with shortcuts rather than mnemonics, which would underline the letters;
// a shortcut also takes the key before an edit field could type the letter.
void WindowShell::addMenuKeys()
{
    const auto open = [this](QAction* menu) {
        auto* shortcut = new QShortcut(top);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, menuBar, [this, menu] {
            if (menu->isEnabled())
                menuBar->setActiveAction(menu);
        });
        shortcuts.push_back(shortcut);
        return shortcut;
    };
    const QList<QAction*> menus = menuBar->actions();
    if (menus.isEmpty())
        return;
    open(menus.first())->setKey(QKeySequence(Qt::Key_F10));
    for (QAction* menu : menus) {
        const QString title = menu->text().remove(QLatin1Char('&'));
        if (!title.isEmpty() && title.front().isLetterOrNumber())
            open(menu)->setKey(QKeySequence(QStringLiteral("Alt+") + title.front().toUpper(), QKeySequence::PortableText));
    }
}

void WindowShell::closeShortcut(bool on)
{
    delete closeKey;
    closeKey = nullptr;
    if (!on)
        return;
    auto* shortcut = new QShortcut(QKeySequence::Close, top);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, top, [this] {
        if (Window* window = top->owner) {
            auto keep = window->shared_from_this();
            window->Close();
        }
    });
    closeKey = shortcut;
}

void WindowShell::addItems(QMenu* menu, const Ref<MenuItem>& parent)
{
    for (int32_t i = 0; i < parent->Count(); ++i) {
        Ref<MenuItem> item = parent->Item(i);
        if (item->Text() == "-") {
            menu->addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            addItems(menu->addMenu(captionToQt(item->Text())), item);
            continue;
        }
        const QList<QKeySequence> keys = ShortcutKeys(item->KeyboardShortcut());
        // The shortcut is shown in the menu (and told to screen readers apart from the item's
        // name); the window's own QShortcut handles the key, so that the menus are brought up to
        // date before it acts. The action's own answers only inside its open menu.
        QAction* action = menu->addAction(captionToQt(item->Text()));
        if (!keys.isEmpty()) {
            action->setShortcut(keys.first());
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        action->setEnabled(item->Enabled());
        QObject::connect(action, &QAction::triggered, top, [this, item] {
            if (top->owner)
                top->owner->ChooseMenuItem({}, item);
        });
        actions.emplace_back(action, item);
        if (!keys.isEmpty()) {
            auto* shortcut = new QShortcut(top);
            shortcut->setKeys(keys);
            shortcut->setContext(Qt::WindowShortcut);
            QObject::connect(shortcut, &QShortcut::activated, top, [this, item] {
                Window* window = top->owner;
                if (!window)
                    return;
                auto keep = window->shared_from_this();
                window->RefreshMenus({});
                if (item->Enabled())
                    window->ChooseMenuItem({}, item);
            });
            shortcuts.push_back(shortcut);
        }
    }
}

void WindowShell::syncActions()
{
    for (auto& [action, item] : actions)
        action->setEnabled(item->Enabled());
}

QList<QKeySequence> ShortcutKeys(const String& shortcut)
{
    QList<QKeySequence> keys;
    if (shortcut.empty())
        return keys;
    QString text = toQt(shortcut);
    text.replace(QLatin1String("Cmd"), QLatin1String("Ctrl"), Qt::CaseInsensitive);
    text.replace(QLatin1String("Option"), QLatin1String("Alt"), Qt::CaseInsensitive);
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.isEmpty())
        return keys;
    keys.append(sequence);
    // A keyboard's Shift+/ already reaches the shortcut map as "?" as well; registering
    // "Shift+/" too would make one press match two keys of this shortcut, which Qt treats as
    // ambiguous and acts on neither. "Shift+?" serves platforms that keep the Shift.
    if (text.endsWith(QLatin1Char('?'))) {
        const QString head = text.left(text.size() - 1);
        keys.append(QKeySequence::fromString(head + QLatin1String("Shift+?"), QKeySequence::PortableText));
    }
    return keys;
}
