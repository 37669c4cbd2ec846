#pragma once

#include "framework/gui/menu_item.h"

// The application's one menu bar: File, Edit and Help menus, found and routed by item names.
class Menu : public MenuBar {
public:
    static constexpr const char* kClassName = "Menu.Menu";

    // The one instance, built on first use.
    static Ref<Menu> instance();
    // Releases the instance at finalisation.
    static void ReleaseInstance();

    Menu();
    // Builds the three menus. Kept apart from the C++ constructor so that the items are appended
    // to a bar that is already held by a reference.
    void Constructor();

    void Untitled1(); // the File menu
    void Untitled2(); // the Edit menu
    void Untitled3(); // the Help menu

private:
    void appendItem(const String& menuName, const Ref<MenuItem>& item);
};
