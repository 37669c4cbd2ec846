#pragma once

#include "framework/menu_item.h"

// The application's one menu bar: File, Edit and Help menus, found and routed by item names.
class Menu : public MenuBar {
public:
    static constexpr const char* kClassName = "Menu.Menu";

    // The one instance, built on first use.
    static Ref<Menu> instance();
    // Releases the instance at finalisation.
    static void ReleaseInstance();

    Menu();

    void Untitled1(); // the File menu
    void Untitled2(); // the Edit menu
    void Untitled3(); // the Help menu
};
