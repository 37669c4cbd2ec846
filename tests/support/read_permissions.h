#pragma once

// Makes a file unreadable for this thread, root included. Root reads whatever the permission bits
// say through two capabilities; with both out of the calling thread's effective set the kernel
// checks the bits as for anyone else. The program runs its work on that same (GUI) thread.

#include <string>

class UnreadableFile {
public:
    // Takes the read permission from `path` and, for root, the thread's power to override it.
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
