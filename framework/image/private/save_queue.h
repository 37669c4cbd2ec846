#pragma once

// Framework-internal: the commits of pictures saved by a cooperative thread into a folder held
// open. Writing a picture's bytes, syncing them to the disk and naming the file take tens to
// hundreds of milliseconds on a slow device (an SD card, a USB stick); a worker does them while the
// thread goes on with its next picture. The bytes of several pictures are written and synced side
// by side, and the files take their names one after the other in the order of the saves, each the
// name its save was given: the name is the file's from the save on (FolderHandle::Reserve), so no
// later save is given it. Used from the GUI thread only, but for the workers inside.

#include "framework/core/private/folder_handle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SaveQueue final {
public:
    // A save that has ended: the file's name, and why it could not be made (empty when it is there).
    struct Ended {
        std::string name;
        std::string error;
    };

    // Whether the saves of the code running now are committed here: a cooperative thread's, while
    // the read-ahead works (its waits keep the window painting; without it everything is done in
    // turn, as the byte-identity test's sequential runs want).
    static bool Takes();
    // Makes the file `name` in `folder` and hands `bytes` to a worker, which writes, syncs and
    // names it; returns at once unless too much is in flight already. Raises what the making
    // raises: NameTakenException when the name is taken now (on the disk, or by a commit in
    // flight), IOException when the file cannot be made.
    static void Add(std::shared_ptr<const FolderHandle> folder, const std::string& name, std::vector<uint8_t> bytes);
    // Tells of a file that was written, synced and named at once, so that a caller learns of every
    // save into `folder` in one place and in order.
    static void AddDone(const std::shared_ptr<const FolderHandle>& folder, const std::string& name);
    // The saves into `folder` that have ended since the last call, in the order of the saves;
    // with `wait`, after every save into it has ended (the window keeps painting meanwhile).
    static std::vector<Ended> Take(const FolderHandle& folder, bool wait);
    // Waits for every commit in flight, without painting: the process must not end with a picture
    // on its way.
    static void WaitForAll();
};
