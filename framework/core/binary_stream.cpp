#include "framework/core/binary_stream.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void raise(const String& what, const String& path, int error)
{
    throw IOException(what + " \"" + path + "\": " + std::strerror(error), error);
}

// Opens `path` with `flags` and refuses folders, which open() accepts for reading. Opening never
// waits (a pipe without a writer would block for ever); reads and writes then do as usual.
int openFile(const String& path, int flags, const char* what)
{
    const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        raise(what, path, errno);
    struct stat st {};
    const int mode = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || mode < 0 || fcntl(fd, F_SETFL, mode & ~O_NONBLOCK) != 0) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        close(fd);
        raise(what, path, error);
    }
    return fd;
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

// Whether this process may write the file as an ordinary user may. access() asks the kernel, which
// lets root write whatever the permission bits say; so the bits that apply to the caller are asked
// too, since a file whose owner took away its write permission is meant to stay as it is.
bool permitsWriting(const String& path, const struct stat& st)
{
    if (access(path.c_str(), W_OK) != 0)
        return false;
    if (st.st_uid == geteuid())
        return (st.st_mode & S_IWUSR) != 0;
    if (inGroup(st.st_gid))
        return (st.st_mode & S_IWGRP) != 0;
    return (st.st_mode & S_IWOTH) != 0;
}

// The stream of a replacement goes to a new file of QSaveFile's beside the old one (its name is
// unique, so nothing left there can block it), and the old file is replaced only at commit. Only a
// regular file is ever replaced: renaming over a device or a pipe would put a file in its place.
std::unique_ptr<QSaveFile> openReplacement(const String& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            raise("Cannot create", path, EISDIR);
        if (!S_ISREG(st.st_mode))
            raise("Only a file can be replaced, not", path, EINVAL);
        if (!permitsWriting(path, st))
            raise("Cannot replace the read-only file", path, EACCES);
    } else if (errno != ENOENT) {
        // A link that leads nowhere yet is followed: its file is made.
        raise("Cannot create", path, errno);
    }
    auto file = std::make_unique<QSaveFile>(QFile::decodeName(QByteArray::fromStdString(path)));
    errno = 0;
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        raise("Cannot create", path, errno != 0 ? errno : EIO);
    return file;
}

} // namespace

BinaryStream::BinaryStream(int fd, String path)
    : m_fd(fd)
    , m_path(std::move(path))
{
}

BinaryStream::~BinaryStream()
{
    // An unfinished replacement goes with its QSaveFile; the old file stays.
    if (m_fd >= 0 && !m_replacement)
        close(m_fd);
}

Ref<BinaryStream> BinaryStream::Open(const Ref<FolderItem>& file, bool readWrite)
{
    const String path = file->NativePath();
    const int fd = openFile(path, readWrite ? O_RDWR : O_RDONLY, "Cannot open");
    return MakeRef<BinaryStream>(fd, path);
}

Ref<BinaryStream> BinaryStream::Create(const Ref<FolderItem>& file, bool replace)
{
    const String path = file->NativePath();
    if (replace) {
        auto replacement = openReplacement(path);
        auto stream = MakeRef<BinaryStream>(replacement->handle(), path);
        stream->m_replacement = std::move(replacement);
        return stream;
    }
    const int fd = openFile(path, O_RDWR | O_CREAT | O_EXCL, "Cannot create");
    return MakeRef<BinaryStream>(fd, path);
}

int16_t BinaryStream::ReadShort()
{
    unsigned char bytes[2];
    readBytes(bytes, 2);
    return static_cast<int16_t>(static_cast<uint16_t>((bytes[0] << 8) | bytes[1]));
}

void BinaryStream::WriteShort(int16_t value)
{
    const auto bits = static_cast<uint16_t>(value);
    const unsigned char bytes[2] = { static_cast<unsigned char>(bits >> 8), static_cast<unsigned char>(bits & 0xFF) };
    writeBytes(bytes, 2);
}

bool BinaryStream::ReadBoolean()
{
    unsigned char byte = 0;
    readBytes(&byte, 1);
    return byte != 0;
}

void BinaryStream::WriteBoolean(bool value)
{
    const unsigned char byte = value ? 1 : 0;
    writeBytes(&byte, 1);
}

int64_t BinaryStream::Length() const
{
    ensureOpen();
    struct stat st {};
    if (fstat(m_fd, &st) != 0)
        raise("Cannot read the length of", m_path, errno);
    return st.st_size;
}

void BinaryStream::Close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (m_replacement) {
        const auto replacement = std::move(m_replacement);
        errno = 0;
        if (!replacement->commit())
            raise("Cannot replace", m_path, errno != 0 ? errno : EIO);
        return;
    }
    if (close(fd) != 0 && errno != EINTR)
        raise("Cannot close", m_path, errno);
}

void BinaryStream::ensureOpen() const
{
    if (m_fd < 0)
        raise("The stream is closed:", m_path, EBADF);
}

void BinaryStream::readBytes(unsigned char* bytes, size_t count)
{
    ensureOpen();
    size_t done = 0;
    while (done < count) {
        const ssize_t got = read(m_fd, bytes + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            raise("Cannot read", m_path, errno);
        // The end of the file sets no errno; EIO stands for the missing bytes.
        if (got == 0)
            raise("Unexpected end of", m_path, EIO);
        done += static_cast<size_t>(got);
    }
}

void BinaryStream::writeBytes(const unsigned char* bytes, size_t count)
{
    ensureOpen();
    size_t done = 0;
    while (done < count) {
        const ssize_t put = write(m_fd, bytes + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0) {
            const int error = errno;
            // What was written so far must never take the old file's place.
            if (m_replacement)
                m_replacement->cancelWriting();
            raise("Cannot write", m_path, error);
        }
        done += static_cast<size_t>(put);
    }
}
