// A file written whole or not at all, through the file-system door.
#include "framework/core/private/atomic_file.h"

#include "framework/core/exceptions.h"

#include <algorithm>
#include <cerrno>
#include <random>
#include <utility>

namespace {

[[noreturn]] void raise(const std::string& path, const char* what, int error)
{
    throw IOException("The file \"" + path + "\" " + what + ": " + FileSystem::ErrorText(error), error);
}

// The file a link at `path` leads to, followed to its end; `path` itself when it is no link.
// A link whose file does not exist yet leads to where that file would be.
std::string followLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const FileSystem::Status status = FileSystem::StatusOf(current, false);
        if (!status.Exists() || status.kind != FileSystem::Kind::Link)
            return current;
        const std::optional<std::string> next = FileSystem::LinkText(current);
        if (!next)
            return current;
        const size_t slash = current.rfind('/');
        current = next->front() == '/' || slash == std::string::npos ? *next : current.substr(0, slash + 1) + *next;
    }
    return current; // a loop: opening it reports the error
}

// The name's start and six random letters: never a name a picture is saved under (those end in
// their extension), and short enough for any file system whatever the name's length.
std::string uniqueName(const std::string& name)
{
    static std::mt19937 random { std::random_device {}() };
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i)
        suffix += letters[random() % (sizeof letters - 1)];
    return name.substr(0, std::min<size_t>(name.size(), 200)) + suffix;
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

} // namespace

AtomicFile::AtomicFile(const std::string& path) : m_target(followLinks(path))
{
    const size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : m_target.substr(0, slash);
    m_name = slash == std::string::npos ? m_target : m_target.substr(slash + 1);

    // Only a file is ever replaced: a folder, FIFO or device of that name stays what it is.
    const FileSystem::Status existing = FileSystem::StatusOf(m_target, true);
    const bool replaces = existing.Exists();
    if (replaces && existing.kind != FileSystem::Kind::File)
        raise(path, "cannot be written", existing.kind == FileSystem::Kind::Folder ? EISDIR : EINVAL);

    // The folder the user's path leads to, links and all, held from here to the rename.
    int error = 0;
    const std::optional<std::string> resolved = FileSystem::ResolvedPath(folder);
    m_folder = FolderHandle::Open(resolved.value_or(folder), error);
    if (!m_folder)
        raise(path, "cannot be created", error);
    createTemporary(path);
    if (replaces)
        FileSystem::SetPermissions(m_fd, existing.permissions);
}

AtomicFile::AtomicFile(std::shared_ptr<const FolderHandle> folder, const std::string& name)
    : m_target(joined(folder->Path(), name))
    , m_name(name)
    , m_replaces(false)
    , m_folder(std::move(folder))
{
    checkFolderStillThere();
    if (m_folder->Reserved(m_name) || FileSystem::StatusIn(m_folder->Descriptor(), m_name).Exists()) {
        m_folder.reset();
        throw NameTakenException("The file \"" + m_target + "\" cannot be created: the name is taken", EEXIST);
    }
    createTemporary(m_target);
    m_folder->Reserve(m_name);
    m_reserved = true;
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::createTemporary(const std::string& shownPath)
{
    // An unnamed file leaves nothing behind even when the process is killed; where the file
    // system has none, a named one beside the target.
    int error = 0;
    m_fd = FileSystem::CreateUnnamedFile(m_folder->Descriptor(), error);
    while (error != 0 && FileSystem::LacksUnnamedFiles(error)) {
        m_temporary = uniqueName(m_name);
        m_fd = FileSystem::CreateFileIn(m_folder->Descriptor(), m_temporary, error);
        if (error != 0 && error != EEXIST)
            break;
    }
    if (error != 0) {
        m_temporary.clear();
        discard();
        raise(shownPath, "cannot be created", error);
    }
}

void AtomicFile::checkFolderStillThere()
{
    if (m_folder->StillAtItsPath())
        return;
    const std::string folder = m_folder->Path();
    discard();
    throw IOException("The file \"" + m_target + "\" cannot be created: the folder \"" + folder
            + "\" is no longer there: it was moved, renamed or deleted",
        ENOENT);
}

void AtomicFile::Write(const void* bytes, size_t count)
{
    if (const int error = FileSystem::WriteAll(m_fd.Get(), bytes, count); error != 0) {
        discard();
        raise(m_target, "cannot be written", error);
    }
}

void AtomicFile::Sync()
{
    if (!m_fd.IsOpen())
        raise(m_target, "cannot be written", EBADF);
    if (const int error = FileSystem::SyncData(m_fd.Get()); error != 0) {
        discard();
        raise(m_target, "cannot be written", error);
    }
    m_synced = true;
}

void AtomicFile::Commit()
{
    // The bytes reach the disk before the name does, so that after a power loss the name leads to
    // the whole file or to none.
    if (!m_synced)
        Sync();
    if (!m_fd.IsOpen())
        raise(m_target, "cannot be written", EBADF);
    const FileSystem::FileDescriptor& folder = m_folder->Descriptor();
    if (!m_replaces) {
        checkFolderStillThere();
        // The complete file takes its name in one step, and only while the name is free: a
        // link made there meanwhile is neither followed nor replaced.
        int error = m_temporary.empty() ? FileSystem::NameUnnamedFile(m_fd, folder, m_name)
                                        : FileSystem::RenameNoReplaceIn(folder, m_temporary, m_name);
        if (error == 0) {
            m_temporary.clear();
            error = m_fd.Close();
        }
        if (error == EEXIST) {
            discard();
            throw NameTakenException("The file \"" + m_target + "\" cannot be created: the name was taken meanwhile", error);
        }
        if (error != 0) {
            discard();
            raise(m_target, "cannot be written", error);
        }
        discard();
        return;
    }
    if (m_temporary.empty()) {
        // The unnamed file gets a name of its own first, so that the old file is replaced in
        // one step by the rename.
        for (;;) {
            m_temporary = uniqueName(m_name);
            const int error = FileSystem::NameUnnamedFile(m_fd, folder, m_temporary);
            if (error == 0)
                break;
            m_temporary.clear();
            if (error != EEXIST) {
                discard();
                raise(m_target, "cannot be written", error);
            }
        }
    }
    int error = m_fd.Close();
    if (error == 0)
        error = FileSystem::RenameIn(folder, m_temporary, m_name);
    if (error != 0) {
        discard();
        raise(m_target, "cannot be written", error);
    }
    m_temporary.clear();
    discard();
}

void AtomicFile::discard()
{
    m_fd.Close();
    if (!m_temporary.empty() && m_folder)
        FileSystem::RemoveIn(m_folder->Descriptor(), m_temporary);
    m_temporary.clear();
    // Named or given up: the name is no longer promised to this file.
    if (m_reserved && m_folder)
        m_folder->Release(m_name);
    m_reserved = false;
    m_folder.reset();
}
