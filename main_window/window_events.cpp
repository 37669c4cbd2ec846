// The main window's Select and Go buttons and its window events: drops, opening and closing.
#include "main_window/main.h"

#include "engine/threadrun.h"
#include "framework/core/exceptions.h"
#include "framework/gui/runtime.h"

void Main::PBSelect_Action(PushButton& sender)
{
    (void)sender;
    auto chosen = SelectFolder();
    if (chosen) {
        f = chosen;
        STFolder()->Text(f->Name());
        PB()->Value(0);
    }
    enablego();
}

void Main::PBGo_Action(PushButton& sender)
{
    // The engine switches the button's role; the role alone tells a start from a stop request.
    if (!sender.Cancel())
        threadrun1()->Run();
    else
        endthread = true;
}

void Main::Event_DropObject(DragItem& item, int32_t action)
{
    (void)action;
    // The run reads the source folder at every use and expects it to stay the same until its
    // finish, so a new folder is refused while one is going.
    if (runInProgress()) {
        Beep();
        return;
    }
    if (item.FolderItemAvailable()) {
        auto dropped = item.FolderItem();
        auto chosen = dropped->Directory() ? item.FolderItem() : dropped->Parent();
        if (chosen) {
            f = chosen;
            STFolder()->Text(f->Name());
            PB()->Value(0);
        } else {
            Beep();
        }
    } else {
        Beep();
    }
    enablego();
}

void Main::Event_Open()
{
    loadpref();
    AcceptFileDrop("all");
}

void Main::Event_Close()
{
    // Closing the main window always ends the application; settings that could not be kept are
    // reported rather than silently lost, and the quit still follows. A missing folder item is as
    // much a failed write as a stream error.
    try {
        savepref();
    } catch (const RuntimeException& error) {
        MsgBox("The preferences could not be saved.\n\n" + error.Message());
    }
    Quit(0);
}

bool Main::runInProgress()
{
    return !PBSelect()->Enabled();
}
