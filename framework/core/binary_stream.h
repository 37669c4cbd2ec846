#pragma once

#include "framework/core/folder_item.h"
#include "framework/core/ref.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class AtomicFile;
namespace FileSystem {
class FileDescriptor;
}

// A file read and written as big-endian binary fields, without buffering, so that every failure
// surfaces at the call that caused it. Every failure raises IOException with the errno value.
class BinaryStream final {
public:
    ~BinaryStream();
    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;

    // Opens an existing file (read-write when `readWrite`, else read-only).
    static Ref<BinaryStream> Open(const Ref<FolderItem>& file, bool readWrite);
    // Creates the file, empty; an existing one is replaced only when `replace`. A replacing stream
    // writes to a file of its own beside the old one, which takes the old one's place (and its
    // permissions) only when Close succeeds: a failed or abandoned write leaves the old file whole
    // and nothing beside it. A link is followed and stays a link. A folder, anything else that is
    // not a regular file, and a file that its permissions keep from being written are not replaced.
    static Ref<BinaryStream> Create(const Ref<FolderItem>& file, bool replace);

    // Signed 16-bit integers, most significant byte first.
    int16_t ReadShort();
    void WriteShort(int16_t value);
    // One byte: 1 or 0 written, any non-zero byte read as True.
    bool ReadBoolean();
    void WriteBoolean(bool value);
    int64_t Length() const;
    // Closes the file (a replacing stream takes its file's place now); a failure to close raises.
    // Later reads and writes raise too.
    void Close();

    // The stream of a file that Open or Create opened.
    BinaryStream(FileSystem::FileDescriptor file, String path);

private:
    void readBytes(unsigned char* bytes, size_t count);
    void writeBytes(const unsigned char* bytes, size_t count);
    // The open descriptor; raises IOException once the stream is closed.
    int openDescriptor() const;

    // Held by pointer: the file-system door is the framework's own, out of the program's sight.
    std::unique_ptr<FileSystem::FileDescriptor> m_file;
    String m_path;
    // Set instead of `m_file` for a replacing stream, whose descriptor it owns.
    std::unique_ptr<AtomicFile> m_replacement;
    // The error that cut a replacement's writing short: it never takes the old file's place.
    int m_replacementError { 0 };
};
