// The application object: opening the main window and the items opened with the application.
#include "shell/app.h"

#include "framework/gui/runtime.h"
#include "main_window/main.h"

App::App()
{
    OnOpen = [this] { Event_Open(); };
    OnOpenDocument = [this](const Ref<FolderItem>& item) { Event_OpenDocument(item); };
}

void App::Event_Open()
{
}

void App::Event_OpenDocument(const Ref<FolderItem>& item)
{
    // The engine disables Select for the length of a run and takes the source folder afresh at
    // each use, so a new folder now would split one run over two folders: refuse it, as a drop
    // during a run is refused.
    if (!Main::instance()->PBSelect()->Enabled()) {
        Beep();
        return;
    }

    // Each step fetches the window afresh: the accessor is the one way to the main window.
    Main::instance()->f = item->Directory() ? item : item->Parent();
    Main::instance()->STFolder()->Text(Main::instance()->f->Name());
    Main::instance()->PB()->Value(0);
    Main::instance()->enablego();
}

void App::Constructor()
{
}
