#pragma once

// A file that is replaced whole or not at all: the bytes go to a temporary file in the target's
// folder, which is synced to the disk and takes the target's name only at Commit. A failed,
// cancelled or killed save, or a power loss, leaves the old file (or no file) under the name, and
// after a failure no temporary file either.
// Paths are the file system's bytes, valid UTF-8 or not, which is why this is not QSaveFile: it
// takes a QString, and a name that is not UTF-8 does not survive the trip.

#include "framework/core/private/file_system.h"

#include <cstddef>
#include <string>

class AtomicFile {
public:
    // Opens the temporary file for `path`. A link is followed (it stays a link and its file gets
    // the bytes); a file being replaced keeps its permissions. Only a regular file is ever
    // replaced. Raises IOException with the system's error number.
    explicit AtomicFile(const std::string& path);
    // Not committed: the temporary file goes.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The path the bytes will have: the target's, or the file its link leads to.
    const std::string& Path() const { return m_target; }
    // Writes all of `bytes` or raises IOException (a full disk, a file size limit).
    void Write(const void* bytes, size_t count);
    // Puts the temporary file in the target's place, or raises IOException and keeps the old file.
    void Commit();

private:
    void discard();

    std::string m_target; // the file replaced
    std::string m_folder;
    std::string m_name;
    std::string m_temporary; // a named temporary file, where the system has no unnamed ones
    FileSystem::FileDescriptor m_folderFd;
    FileSystem::FileDescriptor m_fd;
};
