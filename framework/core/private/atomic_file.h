#pragma once

// A file written whole or not at all: the bytes go to a temporary file in the target's folder,
// which is synced to the disk and takes the target's name only at Commit. A failed, cancelled or
// killed save, or a power loss, leaves the old file (or no file) under the name, and after a
// failure no temporary file either. This is the one door for every such save, pictures and
// preferences alike.
// Paths are the file system's bytes, valid UTF-8 or not, which is why this is not QSaveFile: it
// takes a QString, and a name that is not UTF-8 does not survive the trip.

#include "framework/core/private/file_system.h"
#include "framework/core/private/folder_handle.h"

#include <cstddef>
#include <memory>
#include <string>

class AtomicFile {
public:
    // Replaces the file at `path`. A link is followed (it stays a link and its file gets the
    // bytes); a file being replaced keeps its permissions. Only a regular file is ever replaced.
    // Raises IOException with the system's error number.
    explicit AtomicFile(const std::string& path);
    // A new file `name` in a folder held open: it is made relative to the folder's descriptor and
    // takes its name only if nothing bears it at that instant. Whatever stands there (a file, a
    // link) is neither replaced nor followed: Commit raises NameTakenException and writes nothing.
    // So does the making, when the name is taken already, or promised to another file of the
    // folder that is still being written: from its making to its naming the name is this file's.
    // A folder that is no longer at its path raises IOException.
    AtomicFile(std::shared_ptr<const FolderHandle> folder, const std::string& name);
    // Not committed: the temporary file goes.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The path the bytes will have: the target's, or the file its link leads to.
    const std::string& Path() const { return m_target; }
    // The file being written, for reading back what was written so far.
    int Descriptor() const { return m_fd.Get(); }
    // Writes all of `bytes` or raises IOException (a full disk, a file size limit).
    void Write(const void* bytes, size_t count);
    // Puts the bytes on the disk, or raises IOException; Commit then only names the file. Files
    // synced side by side can so be named in an order of the caller's.
    void Sync();
    // Puts the temporary file in the target's place (synced first, unless Sync did it), or raises
    // IOException and keeps the old file.
    void Commit();

private:
    void createTemporary(const std::string& shownPath);
    void checkFolderStillThere();
    void discard();

    std::string m_target; // the file written
    std::string m_name;
    bool m_replaces { true };
    bool m_synced { false };
    bool m_reserved { false }; // the name is promised to this file in its held folder
    std::string m_temporary; // a named temporary file, where the system has no unnamed ones
    std::shared_ptr<const FolderHandle> m_folder;
    FileSystem::FileDescriptor m_fd;
};
