// Big-endian fields on a file, through the file-system door; replacements through the one door
// for files written whole.
#include "framework/core/binary_stream.h"

#include "framework/core/private/atomic_file.h"
#include "framework/core/private/file_system.h"

#include <cerrno>
#include <utility>

namespace {

[[noreturn]] void raise(const String& what, const String& path, int error)
{
    throw IOException(what + " \"" + path + "\": " + FileSystem::ErrorText(error), error);
}

// Opens `path` and refuses folders, which open() accepts for reading.
Ref<BinaryStream> openStream(const String& path, FileSystem::OpenFor purpose, const char* what)
{
    FileSystem::OpenedFile file = FileSystem::Open(path, purpose, FileSystem::Accept::AnythingButFolders);
    if (file.error != 0)
        raise(what, path, file.error);
    return MakeRef<BinaryStream>(std::move(file.fd), path);
}

// The stream of a replacement goes to a new file beside the old one (unnamed, or of a unique name,
// so nothing left there can block it), and the old file is replaced only at commit. Only a
// regular file is ever replaced: renaming over a device or a pipe would put a file in its place.
std::unique_ptr<AtomicFile> openReplacement(const String& path)
{
    const FileSystem::Status existing = FileSystem::StatusOf(path, true);
    if (existing.Exists()) {
        if (existing.kind == FileSystem::Kind::Folder)
            raise("Cannot create", path, EISDIR);
        if (existing.kind != FileSystem::Kind::File)
            raise("Only a file can be replaced, not", path, EINVAL);
        // The system lets root write whatever the permission bits say; a file whose owner took
        // away its write permission is meant to stay as it is all the same.
        if (!FileSystem::SystemLetsWrite(path) || !FileSystem::PermissionBitsLetWrite(existing))
            raise("Cannot replace the read-only file", path, EACCES);
    } else if (existing.error != ENOENT) {
        // A link that leads nowhere yet is followed: its file is made.
        raise("Cannot create", path, existing.error);
    }
    try {
        return std::make_unique<AtomicFile>(path);
    } catch (const IOException& error) {
        raise("Cannot create", path, error.ErrorNumber() != 0 ? error.ErrorNumber() : EIO);
    }
}

} // namespace

BinaryStream::BinaryStream(FileSystem::FileDescriptor file, String path)
    : m_file(std::make_unique<FileSystem::FileDescriptor>(std::move(file)))
    , m_path(std::move(path))
{
}

// An unfinished replacement goes with its temporary file; the old file stays.
BinaryStream::~BinaryStream() = default;

Ref<BinaryStream> BinaryStream::Open(const Ref<FolderItem>& file, bool readWrite)
{
    return openStream(file->NativePath(),
        readWrite ? FileSystem::OpenFor::ReadingAndWriting : FileSystem::OpenFor::Reading, "Cannot open");
}

Ref<BinaryStream> BinaryStream::Create(const Ref<FolderItem>& file, bool replace)
{
    const String path = file->NativePath();
    if (!replace)
        return openStream(path, FileSystem::OpenFor::NewFile, "Cannot create");
    auto stream = MakeRef<BinaryStream>(FileSystem::FileDescriptor(), path);
    stream->m_replacement = openReplacement(path);
    return stream;
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
    const FileSystem::Status status = FileSystem::StatusOf(openDescriptor());
    if (!status.Exists())
        raise("Cannot read the length of", m_path, status.error);
    return status.size;
}

void BinaryStream::Close()
{
    if (const int error = std::exchange(m_replacementError, 0); error != 0)
        raise("Cannot replace", m_path, error);
    if (m_replacement) {
        const auto replacement = std::move(m_replacement);
        try {
            replacement->Commit();
        } catch (const IOException& error) {
            raise("Cannot replace", m_path, error.ErrorNumber() != 0 ? error.ErrorNumber() : EIO);
        }
        return;
    }
    if (const int error = m_file->Close(); error != 0)
        raise("Cannot close", m_path, error);
}

int BinaryStream::openDescriptor() const
{
    const int fd = m_replacement ? m_replacement->Descriptor() : m_file->Get();
    if (fd < 0)
        raise("The stream is closed:", m_path, EBADF);
    return fd;
}

void BinaryStream::readBytes(unsigned char* bytes, size_t count)
{
    const FileSystem::Transfer read = FileSystem::ReadUpTo(openDescriptor(), bytes, count);
    if (read.error != 0)
        raise("Cannot read", m_path, read.error);
    // The end of the file sets no errno; EIO stands for the missing bytes.
    if (read.done < count)
        raise("Unexpected end of", m_path, EIO);
}

void BinaryStream::writeBytes(const unsigned char* bytes, size_t count)
{
    if (const int error = FileSystem::WriteAll(openDescriptor(), bytes, count); error != 0) {
        // What was written so far must never take the old file's place.
        if (m_replacement) {
            m_replacement.reset();
            m_replacementError = error;
        }
        raise("Cannot write", m_path, error);
    }
}
