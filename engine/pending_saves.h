#pragma once

#include "engine/run_report.h"
#include "framework/core/folder_item.h"
#include "framework/core/text.h"

#include <cstdint>
#include <deque>
#include <functional>

// The pictures of a run whose files are still being made while the run goes on. When a file has
// ended, its picture shows as done (the progress bar takes its item's number) or is the failed
// item it came from, in the order of the items, as if each file had been made in the picture's
// own turn: a save that fails is never shown as done.
class PendingSaves {
public:
    explicit PendingSaves(Ref<FolderItem> folder);

    // Item `index`, named `itemName`, was saved under `fileName` in the folder.
    void Add(const String& fileName, int32_t index, const String& itemName);
    // Tells `done` the number of every item whose file is there, and `report` every one whose
    // file could not be made, for the saves that have ended; with `wait`, after all have.
    void Settle(bool wait, const std::function<void(int32_t)>& done, RunReport& report);

private:
    struct Item {
        String fileName;
        int32_t index { 0 };
        String name;
    };

    Ref<FolderItem> m_folder;
    // In the order of the saves, which is the order their ends are told in. A name may come back
    // (a file that could not be made leaves it free for a later picture), so the order, not the
    // name, tells which picture a file was.
    std::deque<Item> m_items;
};
