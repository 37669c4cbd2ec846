#pragma once

// Framework-internal: a folder opened once, through which the items in it are made, looked at,
// named and removed. Once a run has chosen its output folder, renaming that folder or putting a
// link in its place cannot send a file elsewhere: the descriptor still leads to the folder that
// was chosen, and StillAtItsPath tells whether the user would still find it there.

#include "framework/core/private/file_system.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

class FolderHandle final {
public:
    // The folder that `path` leads to, links and all. Nothing, with the system's error number,
    // when it cannot be opened as a folder.
    static std::shared_ptr<const FolderHandle> Open(const std::string& path, int& error);
    // The folder `name` in a folder held open, only when it is a folder itself: a link is not
    // followed.
    static std::shared_ptr<const FolderHandle> OpenIn(const FolderHandle& parent, const std::string& name, int& error);

    const std::string& Path() const { return m_path; }
    const FileSystem::FileDescriptor& Descriptor() const { return m_fd; }
    uint32_t Owner() const { return m_owner; }
    // Whether the path still leads to this very folder: not moved away, deleted, or replaced by
    // another folder or (for a folder held without its links) by a link.
    bool StillAtItsPath() const;

    // Names promised to files that are still being written into this folder: they count as taken
    // from the making of the file to its naming, so that no other file is given one meanwhile.
    // Any thread may ask.
    void Reserve(const std::string& name) const;
    void Release(const std::string& name) const;
    bool Reserved(const std::string& name) const;

    FolderHandle(std::string path, FileSystem::FileDescriptor fd, bool throughLinks);

private:
    std::string m_path;
    FileSystem::FileDescriptor m_fd;
    bool m_throughLinks { false };
    uint64_t m_device { 0 }, m_inode { 0 };
    uint32_t m_owner { 0 };
    mutable std::mutex m_reservedMutex;
    mutable std::unordered_multiset<std::string> m_reserved;
};
