#include "framework/core/binary_stream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

BinaryStream::BinaryStream(int fd, String path)
    : m_fd(fd)
    , m_path(std::move(path))
{
}

BinaryStream::~BinaryStream()
{
    if (m_fd >= 0)
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
    // A folder of that name is refused before O_TRUNC is tried, so it reads as EISDIR.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        raise("Cannot create", path, EISDIR);
    const int flags = O_RDWR | O_CREAT | (replace ? O_TRUNC : O_EXCL);
    const int fd = openFile(path, flags, "Cannot create");
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
        if (put < 0)
            raise("Cannot write", m_path, errno);
        done += static_cast<size_t>(put);
    }
}
