// The system calls on files and folders, each made here once.
#include "framework/core/private/file_system.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <pwd.h>
#include <stdio.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace FileSystem {

namespace {

Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::File;
    if (S_ISDIR(mode))
        return Kind::Folder;
    if (S_ISLNK(mode))
        return Kind::Link;
    return Kind::Other;
}

Status statusFrom(int result, const struct stat& st)
{
    Status status;
    if (result != 0) {
        status.error = errno;
        return status;
    }
    status.kind = kindOf(st.st_mode);
    status.permissions = st.st_mode & 07777;
    status.owner = st.st_uid;
    status.group = st.st_gid;
    status.device = st.st_dev;
    status.inode = st.st_ino;
    status.size = st.st_size;
    status.modified = { st.st_mtim.tv_sec, st.st_mtim.tv_nsec };
    status.changed = { st.st_ctim.tv_sec, st.st_ctim.tv_nsec };
    return status;
}

int flagsFor(OpenFor purpose)
{
    switch (purpose) {
    case OpenFor::Reading:
        return O_RDONLY;
    case OpenFor::ReadingAndWriting:
        return O_RDWR;
    case OpenFor::NewFile:
        return O_RDWR | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

bool inGroup(gid_t group)
{
    if (group == getegid())
        return true;
    std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
    const int got = groups.empty() ? 0 : getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<size_t>(std::max(got, 0)));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

int resultOf(int result)
{
    return result == 0 ? 0 : errno;
}

} // namespace

FileDescriptor::~FileDescriptor()
{
    Close();
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.Release();
    }
    return *this;
}

int FileDescriptor::Release()
{
    return std::exchange(m_fd, -1);
}

int FileDescriptor::Close()
{
    if (m_fd < 0)
        return 0;
    // After EINTR the descriptor is gone all the same on Linux; closing again could close another.
    const int result = ::close(Release());
    return result == 0 || errno == EINTR ? 0 : errno;
}

Status StatusOf(const std::string& path, bool followLinks)
{
    struct stat st {};
    const int result = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    return statusFrom(result, st);
}

Status StatusOf(int fd)
{
    struct stat st {};
    return statusFrom(::fstat(fd, &st), st);
}

std::optional<Identity> IdentityOf(const std::string& path)
{
    const Status status = StatusOf(path, true);
    if (!status.Exists() || status.kind != Kind::File)
        return std::nullopt;
    return Identity { status.device, status.inode, status.size, status.modified };
}

OpenedFile Open(const std::string& path, OpenFor purpose, Accept accept)
{
    OpenedFile opened;
    opened.fd = FileDescriptor(::open(path.c_str(), flagsFor(purpose) | O_CLOEXEC | O_NONBLOCK, 0666));
    if (!opened.fd.IsOpen()) {
        opened.error = errno;
        return opened;
    }
    const Status status = StatusOf(opened.fd.Get());
    int error = status.error;
    if (error == 0 && status.kind == Kind::Folder)
        error = EISDIR;
    else if (error == 0 && accept == Accept::RegularFilesOnly && status.kind != Kind::File)
        error = EINVAL;
    if (error == 0) {
        const int mode = ::fcntl(opened.fd.Get(), F_GETFL);
        if (mode < 0 || ::fcntl(opened.fd.Get(), F_SETFL, mode & ~O_NONBLOCK) != 0)
            error = errno;
    }
    if (error != 0) {
        opened.fd.Close();
        opened.error = error;
        return opened;
    }
    opened.size = status.size;
    return opened;
}

Transfer ReadUpTo(int fd, void* into, size_t count)
{
    auto* bytes = static_cast<unsigned char*>(into);
    Transfer transfer;
    while (transfer.done < count) {
        const ssize_t got = ::read(fd, bytes + transfer.done, count - transfer.done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            transfer.error = errno;
            break;
        }
        if (got == 0)
            break;
        transfer.done += static_cast<size_t>(got);
    }
    return transfer;
}

int WriteAll(int fd, const void* bytes, size_t count)
{
    const auto* data = static_cast<const unsigned char*>(bytes);
    size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, data + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return errno;
        // Nothing taken and no error named: the bytes have nowhere to go.
        if (put == 0)
            return EIO;
        done += static_cast<size_t>(put);
    }
    return 0;
}

namespace {

std::function<void()>& beforeSync()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void SetBeforeSync(std::function<void()> hook)
{
    beforeSync() = std::move(hook);
}

int SyncData(int fd)
{
    // A slow device's sync, for the benchmark that shows the window answering meanwhile.
    static const int delayMs = [] {
        const char* value = std::getenv("QUOBLY_TEST_SYNC_DELAY_MS");
        return value ? std::max(0, std::atoi(value)) : 0;
    }();
    if (delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    if (beforeSync())
        beforeSync()();
    int synced;
    do
        synced = ::fdatasync(fd);
    while (synced != 0 && errno == EINTR);
    return synced == 0 || errno == EINVAL ? 0 : errno;
}

bool Rewind(int fd)
{
    return ::lseek(fd, 0, SEEK_SET) == 0;
}

bool SystemLetsWrite(const std::string& path)
{
    return ::access(path.c_str(), W_OK) == 0;
}

bool PermissionBitsLetWrite(const Status& status)
{
    if (status.owner == geteuid())
        return (status.permissions & S_IWUSR) != 0;
    if (inGroup(status.group))
        return (status.permissions & S_IWGRP) != 0;
    return (status.permissions & S_IWOTH) != 0;
}

bool OnReadOnlyMount(const std::string& path)
{
    struct statvfs fs {};
    return ::statvfs(path.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY);
}

bool AttributesRefuseChanges(const std::string& path, Kind kind)
{
    if (kind != Kind::File && kind != Kind::Folder)
        return false;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.IsOpen())
        return false;
    int flags = 0;
    if (::ioctl(fd.Get(), FS_IOC_GETFLAGS, &flags) != 0)
        return false;
    const int refusing = kind == Kind::File ? (FS_IMMUTABLE_FL | FS_APPEND_FL) : FS_IMMUTABLE_FL;
    return (flags & refusing) != 0;
}

std::optional<std::vector<std::string>> FolderNames(const std::string& path)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

int MakeFolder(const std::string& path)
{
    return resultOf(::mkdir(path.c_str(), 0777));
}

int RemoveFile(const std::string& path)
{
    return resultOf(::unlink(path.c_str()));
}

int RemoveFolder(const std::string& path)
{
    return resultOf(::rmdir(path.c_str()));
}

std::optional<std::string> LinkText(const std::string& path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return std::nullopt;
    return std::string(target, static_cast<size_t>(length));
}

std::optional<std::string> ResolvedPath(const std::string& path)
{
    std::unique_ptr<char, decltype(&free)> resolved(::realpath(path.c_str(), nullptr), &free);
    if (!resolved)
        return std::nullopt;
    return std::string(resolved.get());
}

std::string WorkingFolder()
{
    std::unique_ptr<char, decltype(&free)> working(::getcwd(nullptr, 0), &free);
    return working ? std::string(working.get()) : std::string();
}

std::optional<std::string> ExecutablePath()
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return std::nullopt;
    return std::string(buffer, static_cast<size_t>(length));
}

Time FileClockNow()
{
    // File times come from the kernel's coarse clock.
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return { now.tv_sec, now.tv_nsec };
}

FileDescriptor CreateUnnamedFile(const FileDescriptor& folder, int& error)
{
    FileDescriptor file(::openat(folder.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    error = file.IsOpen() ? 0 : errno;
    return file;
}

bool LacksUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == EEXIST;
}

FileDescriptor CreateFileIn(const FileDescriptor& folder, const std::string& name, int& error)
{
    FileDescriptor file(::openat(folder.Get(), name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666));
    error = file.IsOpen() ? 0 : errno;
    return file;
}

int NameUnnamedFile(const FileDescriptor& file, const FileDescriptor& folder, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(file.Get());
    return resultOf(::linkat(AT_FDCWD, self.c_str(), folder.Get(), name.c_str(), AT_SYMLINK_FOLLOW));
}

int RenameIn(const FileDescriptor& folder, const std::string& from, const std::string& to)
{
    return resultOf(::renameat(folder.Get(), from.c_str(), folder.Get(), to.c_str()));
}

int RemoveIn(const FileDescriptor& folder, const std::string& name)
{
    return resultOf(::unlinkat(folder.Get(), name.c_str(), 0));
}

int SetPermissions(const FileDescriptor& file, uint32_t permissions)
{
    return resultOf(::fchmod(file.Get(), permissions));
}

FileDescriptor OpenFolder(const std::string& path, int& error)
{
    FileDescriptor folder(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    error = folder.IsOpen() ? 0 : errno;
    return folder;
}

FileDescriptor OpenFolderIn(const FileDescriptor& parent, const std::string& name, int& error)
{
    FileDescriptor folder(::openat(parent.Get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    error = folder.IsOpen() ? 0 : errno;
    // O_PATH with O_NOFOLLOW would hand back the link itself: only a folder is held.
    if (error == 0 && StatusOf(folder.Get()).kind != Kind::Folder) {
        folder.Close();
        error = ELOOP;
    }
    return folder;
}

Status StatusIn(const FileDescriptor& folder, const std::string& name)
{
    struct stat st {};
    return statusFrom(::fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW), st);
}

int MakeFolderIn(const FileDescriptor& folder, const std::string& name)
{
    return resultOf(::mkdirat(folder.Get(), name.c_str(), 0777));
}

int RemoveFolderIn(const FileDescriptor& folder, const std::string& name)
{
    return resultOf(::unlinkat(folder.Get(), name.c_str(), AT_REMOVEDIR));
}

int RenameNoReplaceIn(const FileDescriptor& folder, const std::string& from, const std::string& to)
{
    const int renamed = resultOf(::renameat2(folder.Get(), from.c_str(), folder.Get(), to.c_str(), RENAME_NOREPLACE));
    if (renamed != EINVAL && renamed != ENOSYS)
        return renamed;
    // A link never replaces a name either; the first name then goes.
    if (const int linked = resultOf(::linkat(folder.Get(), from.c_str(), folder.Get(), to.c_str(), 0)); linked != 0)
        return linked;
    RemoveIn(folder, from);
    return 0;
}

uint32_t UserId()
{
    return ::geteuid();
}

std::string AccountName(uint32_t owner)
{
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(owner, &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
        return found->pw_name;
    return "number " + std::to_string(owner);
}

namespace {

// The attributes of an item in a folder held open, without following a link: through the
// process's own view of the descriptor, as the *at calls have no attribute form.
std::string pathIn(const FileDescriptor& folder, const std::string& name)
{
    return "/proc/self/fd/" + std::to_string(folder.Get()) + "/" + name;
}

} // namespace

int SetAttributeIn(const FileDescriptor& folder, const std::string& name, const std::string& key,
    const std::string& value)
{
    return resultOf(::lsetxattr(pathIn(folder, name).c_str(), key.c_str(), value.data(), value.size(), 0));
}

std::optional<std::string> AttributeIn(const FileDescriptor& folder, const std::string& name, const std::string& key)
{
    const std::string path = pathIn(folder, name);
    char value[4096];
    const ssize_t length = ::lgetxattr(path.c_str(), key.c_str(), value, sizeof value);
    if (length < 0)
        return std::nullopt;
    return std::string(value, static_cast<size_t>(length));
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

} // namespace FileSystem
