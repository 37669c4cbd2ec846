#pragma once

// Files that cannot be read, root included. Root reads whatever the permission bits say through
// two capabilities; without them the kernel checks the bits as for anyone else. Capabilities
// belong to each thread, and a thread starts with its creator's: a test of anything that may read
// on a worker thread drops them for the whole process before any thread starts.

#include <string>

// Takes root's read override away from the calling thread for good (effective, permitted and
// inheritable sets, and the bounding set where allowed), so that every thread it starts later, and
// every child, reads as an ordinary user does. Call it first in main(), before the application
// object or anything else starts a thread. True when the override is gone (or was never there).
bool DropReadOverrideForProcess();

class UnreadableFile {
public:
    // Takes the read permission from `path` and, for root, the calling thread's power to override
    // it (for a test whose reads all happen on this thread).
    explicit UnreadableFile(std::string path);
    ~UnreadableFile();
    UnreadableFile(const UnreadableFile&) = delete;
    UnreadableFile& operator=(const UnreadableFile&) = delete;

    // Whether opening the file for reading now fails here with "permission denied".
    bool ok() const { return m_ok; }

private:
    std::string m_path;
    unsigned m_mode { 0 }; // the permissions to give back
    bool m_capabilitiesDropped { false };
    bool m_ok { false };
};
