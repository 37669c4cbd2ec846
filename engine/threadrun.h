#pragma once

#include "framework/core/folder_item.h"
#include "framework/core/thread.h"

// The batch resize engine: each Run is one run over the main window's source folder.
class threadrun : public Thread {
public:
    static constexpr const char* kClassName = "threadrun";

    threadrun();

    // The whole run; bound as the thread's Run event.
    void Event_Run();
    // The output base name of one picture: `name` without its extension, made web-ready and cut
    // to DOS format as the window asks. `folder` (the output folder) takes no part in it.
    String setname(const Ref<FolderItem>& folder, const String& name);
};
