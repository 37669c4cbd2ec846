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

    // Framework-internal: brings the window that start-up opened to the front, as items handed
    // over by a later launch arrive.
    static void BringDefaultWindowToFront();

private:
    Ref<::MenuBar> m_menuBar;
};

void RuntimeRegisterAppObject(const Ref<Application>& app);
// The registered application object, nil before registration.
Ref<Application> TheApplication();
// Releases the framework's global lists (windows, the implicit-window list, the application
// object) after the event loop has returned.
void ReleaseGlobalLists();
// Framework-internal: raises OpenDocument for each argument that names an existing file or
// folder, in order (RuntimeRun hands it the command line once the loop runs).
void DeliverOpenedItems(const std::vector<String>& arguments);
// Framework-internal, at start-up: keeps the command line's items as the file system's bytes and
// opens the per-user door (below) at its usual place.
void TakeCommandLine(int argc, char** argv);
// Framework-internal: when an instance already listens at `socketPath`, hands it `items` and
// quits (status 0, or 1 when it does not take them); otherwise listens there, and items that
// later launches hand over arrive as OpenDocument events, after the command line's, and bring
// the default window to the front.
void OpenInstanceDoor(const String& socketPath, const std::vector<String>& items);
