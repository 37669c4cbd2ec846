#pragma once

#include "framework/gui/application.h"
#include "framework/core/folder_item.h"

// The application object: takes a file or folder opened with the application and makes it the
// main window's source folder.
class App : public Application {
public:
    static constexpr const char* kClassName = "App";

    // Hooks the two application events.
    App();

    void Event_Open();
    void Event_OpenDocument(const Ref<FolderItem>& item);
    void Constructor();
};
