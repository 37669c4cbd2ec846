// The main window's menu handlers and menu-item accessors.
#include "main_window/main.h"

#include "framework/core/exceptions.h"
#include "shell/credits.h"
#include "shell/whelp.h"

namespace {

// The item of that name anywhere in the window's menu bar, as the class the caller expects; nil
// when the bar has no such item or it is of another class.
template<class T>
Ref<T> lookupItem(Window& window, const char* name)
{
    return window.MenuBar()->Lookup(name).As<T>();
}

} // namespace

void Main::AddMenuHandlers(Window& window)
{
    auto* main = dynamic_cast<Main*>(&window);
    if (!main)
        throw NilObjectException("The menu handlers belong to a main window.");
    // The window being built is this one, and the handlers live in it, so it outlives every
    // call of them.
    AddMenuHandler("AppleCredits", [main] { return main->AppleCredits_Action(); });
    AddMenuHandler("HelpHelp", [main] { return main->HelpHelp_Action(); });
}

void Main::Event_EnableMenuItems()
{
    AppleCredits()->Enable();
    HelpHelp()->Enable();
}

bool Main::AppleCredits_Action()
{
    Credits::instance()->Show();
    return false;
}

bool Main::HelpHelp_Action()
{
    WHelp::instance()->Show();
    return false;
}

Ref<MenuItem> Main::UntitledMenu0() { return lookupItem<MenuItem>(*this, "UntitledMenu0"); }
Ref<AppleMenuItem> Main::AppleCredits() { return lookupItem<AppleMenuItem>(*this, "AppleCredits"); }
Ref<MenuItem> Main::HelpHelp() { return lookupItem<MenuItem>(*this, "HelpHelp"); }
Ref<MenuItem> Main::UntitledMenu1() { return lookupItem<MenuItem>(*this, "UntitledMenu1"); }
Ref<MenuItem> Main::EditClear() { return lookupItem<MenuItem>(*this, "EditClear"); }
Ref<MenuItem> Main::EditPaste() { return lookupItem<MenuItem>(*this, "EditPaste"); }
Ref<MenuItem> Main::EditCopy() { return lookupItem<MenuItem>(*this, "EditCopy"); }
Ref<MenuItem> Main::EditCut() { return lookupItem<MenuItem>(*this, "EditCut"); }
Ref<MenuItem> Main::UntitledMenu2() { return lookupItem<MenuItem>(*this, "UntitledMenu2"); }
Ref<MenuItem> Main::EditUndo() { return lookupItem<MenuItem>(*this, "EditUndo"); }
Ref<MenuItem> Main::UntitledMenu3() { return lookupItem<MenuItem>(*this, "UntitledMenu3"); }
Ref<QuitMenuItem> Main::FileQuit() { return lookupItem<QuitMenuItem>(*this, "FileQuit"); }
Ref<MenuItem> Main::UntitledMenu4() { return lookupItem<MenuItem>(*this, "UntitledMenu4"); }
