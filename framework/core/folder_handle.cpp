// A folder held open by its descriptor.
#include "framework/core/private/folder_handle.h"

#include <utility>

namespace {

std::string joined(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

} // namespace

FolderHandle::FolderHandle(std::string path, FileSystem::FileDescriptor fd, bool throughLinks)
    : m_path(std::move(path))
    , m_fd(std::move(fd))
    , m_throughLinks(throughLinks)
{
    const FileSystem::Status status = FileSystem::StatusOf(m_fd.Get());
    m_device = status.device;
    m_inode = status.inode;
    m_owner = status.owner;
}

std::shared_ptr<const FolderHandle> FolderHandle::Open(const std::string& path, int& error)
{
    FileSystem::FileDescriptor fd = FileSystem::OpenFolder(path, error);
    if (error != 0)
        return nullptr;
    return std::make_shared<const FolderHandle>(path, std::move(fd), true);
}

std::shared_ptr<const FolderHandle> FolderHandle::OpenIn(const FolderHandle& parent, const std::string& name, int& error)
{
    FileSystem::FileDescriptor fd = FileSystem::OpenFolderIn(parent.Descriptor(), name, error);
    if (error != 0)
        return nullptr;
    return std::make_shared<const FolderHandle>(joined(parent.Path(), name), std::move(fd), false);
}

void FolderHandle::Reserve(const std::string& name) const
{
    const std::lock_guard lock(m_reservedMutex);
    m_reserved.insert(name);
}

void FolderHandle::Release(const std::string& name) const
{
    const std::lock_guard lock(m_reservedMutex);
    if (const auto found = m_reserved.find(name); found != m_reserved.end())
        m_reserved.erase(found);
}

bool FolderHandle::Reserved(const std::string& name) const
{
    const std::lock_guard lock(m_reservedMutex);
    return m_reserved.count(name) > 0;
}

bool FolderHandle::StillAtItsPath() const
{
    const FileSystem::Status now = FileSystem::StatusOf(m_path, m_throughLinks);
    return now.Exists() && now.kind == FileSystem::Kind::Folder && now.device == m_device && now.inode == m_inode;
}
