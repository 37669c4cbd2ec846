// The application's one menu bar: File, Edit and Help.
#include "shell/menu.h"

#include "strings/loc.h"

namespace {

// The one instance: nil until first use, then kept until finalisation.
Ref<Menu> implicitInstance;

// One menu on the bar. Menus carry no action, so they never enable themselves.
Ref<MenuItem> makeMenu(const String& name, const String& text)
{
    auto menu = MakeRef<MenuItem>();
    menu->Name(name);
    menu->AutoEnable(false);
    menu->Text(text);
    menu->KeyboardShortcut("");
    return menu;
}

template<class ItemClass>
Ref<MenuItem> makeItem(const String& name, bool autoEnable, const String& text, const String& shortcut)
{
    auto item = MakeRef<ItemClass>();
    item->Name(name);
    item->AutoEnable(autoEnable);
    item->Text(text);
    item->KeyboardShortcut(shortcut);
    return item;
}

} // namespace

Ref<Menu> Menu::instance()
{
    if (!implicitInstance) {
        auto menu = MakeRef<Menu>();
        menu->Constructor();
        implicitInstance = menu;
    }
    return implicitInstance;
}

void Menu::ReleaseInstance()
{
    implicitInstance = nullptr;
}

Menu::Menu() = default;

void Menu::Constructor()
{
    Untitled1();
    Untitled2();
    Untitled3();
}

void Menu::appendItem(const String& menuName, const Ref<MenuItem>& item)
{
    // The menu is fetched by its name once the item is complete; each menu is on the bar before
    // its items are made.
    Child(menuName)->Append(item);
}

void Menu::Untitled1()
{
    Append(makeMenu("UntitledMenu3", loc::menufile()));
    appendItem("UntitledMenu3", makeItem<QuitMenuItem>("FileQuit", true, loc::menuquit(), "Cmd+Q"));
}

void Menu::Untitled2()
{
    Append(makeMenu("UntitledMenu1", loc::menuedit()));
    appendItem("UntitledMenu1", makeItem<MenuItem>("EditUndo", false, loc::menuundo(), "Cmd+Z"));

    // The separator is the one item that never gets a shortcut.
    auto separator = MakeRef<MenuItem>();
    separator->Name("UntitledMenu2");
    separator->AutoEnable(false);
    separator->Text("-");
    appendItem("UntitledMenu1", separator);

    appendItem("UntitledMenu1", makeItem<MenuItem>("EditCut", false, loc::menucut(), "Cmd+X"));
    appendItem("UntitledMenu1", makeItem<MenuItem>("EditCopy", false, loc::menucopy(), "Cmd+C"));
    appendItem("UntitledMenu1", makeItem<MenuItem>("EditPaste", false, loc::menupaste(), "Cmd+V"));
    appendItem("UntitledMenu1", makeItem<MenuItem>("EditClear", false, loc::menuclear(), ""));
}

void Menu::Untitled3()
{
    Append(makeMenu("UntitledMenu0", loc::menuhelp()));
    appendItem("UntitledMenu0", makeItem<MenuItem>("HelpHelp", false, loc::menuquoblyhelp(), "Cmd+?"));
    appendItem("UntitledMenu0", makeItem<AppleMenuItem>("AppleCredits", false, loc::aboutquobly(), ""));
}
