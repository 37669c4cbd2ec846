#pragma once

#include "framework/core/folder_item.h"
#include "framework/gui/menu_item.h"
#include "framework/core/ref.h"

#include <functional>
#include <vector>

// The application object. Items opened with the application (the command line's existing files
// and folders, in order) arrive as OpenDocument events once the default window is open.
class Application {
public:
    Application() = default;
    virtual ~Application() = default;

    Ref<::MenuBar> MenuBar() const { return m_menuBar; }
    void MenuBar(const Ref<::MenuBar>& value) { m_menuBar = value; }

    std::function<void()> OnOpen;
    std::function<void(const Ref<FolderItem>& item)> OnOpenDocument;

private:
    Ref<::MenuBar> m_menuBar;
};

void RuntimeRegisterAppObject(const Ref<Application>& app);
// The registered application object, nil before registration.
Ref<Application> TheApplication();
// Releases the framework's global lists (windows, the implicit-window list, the application
// object) after the event loop has returned.
void ReleaseGlobalLists();
