#include "framework/core/atomic_file.h"

#include "framework/core/exceptions.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void raise(const std::string& path, const char* what, int error)
{
    throw IOException("The file \"" + path + "\" " + what + ": " + std::strerror(error), error);
}

// The file a link at `path` leads to, followed to its end; `path` itself when it is no link.
// A link whose file does not exist yet leads to where that file would be.
std::string followLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return current;
        const std::string next(target, size_t(length));
        const size_t slash = current.rfind('/');
        current = next.front() == '/' || slash == std::string::npos ? next : current.substr(0, slash + 1) + next;
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

} // namespace

AtomicFile::AtomicFile(const std::string& path) : m_target(followLinks(path))
{
    const size_t slash = m_target.rfind('/');
    m_folder = slash == std::string::npos ? "." : slash == 0 ? "/" : m_target.substr(0, slash);
    m_name = slash == std::string::npos ? m_target : m_target.substr(slash + 1);

    // Only a file is ever replaced: a folder, FIFO or device of that name stays what it is.
    struct stat existing {};
    const bool replaces = ::stat(m_target.c_str(), &existing) == 0;
    if (replaces && !S_ISREG(existing.st_mode))
        raise(path, "cannot be written", S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);

    m_folderFd = ::open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        raise(path, "cannot be created", errno);
    // An unnamed file leaves nothing behind even when the process is killed; where the file
    // system has none, a named one beside the target.
    m_fd = ::openat(m_folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    while (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == EEXIST)) {
        m_temporary = uniqueName(m_name);
        m_fd = ::openat(m_folderFd, m_temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        discard();
        raise(path, "cannot be created", error);
    }
    if (replaces)
        ::fchmod(m_fd, existing.st_mode & 07777);
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::Write(const void* bytes, size_t count)
{
    const auto* data = static_cast<const unsigned char*>(bytes);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, data + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            discard();
            raise(m_target, "cannot be written", error);
        }
        done += size_t(n);
    }
}

void AtomicFile::Commit()
{
    if (m_fd < 0)
        raise(m_target, "cannot be written", EBADF);
    // The bytes reach the disk before the name does, so that after a power loss the name leads to
    // the whole file or to none. A file system that cannot sync says so with EINVAL, which is no
    // failure of the save; any other error (a network disk that has run out of space) is one.
    int synced;
    do
        synced = ::fdatasync(m_fd);
    while (synced != 0 && errno == EINTR);
    if (synced != 0 && errno != EINVAL) {
        const int error = errno;
        discard();
        raise(m_target, "cannot be written", error);
    }
    if (m_temporary.empty()) {
        // The unnamed file gets a name of its own first, so that the old file is replaced in
        // one step by the rename.
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        for (;;) {
            m_temporary = uniqueName(m_name);
            if (::linkat(AT_FDCWD, self.c_str(), m_folderFd, m_temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
                break;
            const int error = errno;
            m_temporary.clear();
            if (error != EEXIST) {
                discard();
                raise(m_target, "cannot be written", error);
            }
        }
    }
    if (::close(std::exchange(m_fd, -1)) != 0) {
        const int error = errno;
        discard();
        raise(m_target, "cannot be written", error);
    }
    if (::renameat(m_folderFd, m_temporary.c_str(), m_folderFd, m_name.c_str()) != 0) {
        const int error = errno;
        discard();
        raise(m_target, "cannot be written", error);
    }
    m_temporary.clear();
    m_committed = true;
    discard();
}

void AtomicFile::discard()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporary.empty() && m_folderFd >= 0)
        ::unlinkat(m_folderFd, m_temporary.c_str(), 0);
    m_temporary.clear();
    if (m_folderFd >= 0)
        ::close(std::exchange(m_folderFd, -1));
}
