#pragma once

#include "framework/core/folder_item.h"
#include "framework/core/ref.h"

#include <cstddef>
#include <cstdint>

// A file read and written as big-endian binary fields, without buffering, so that every failure
// surfaces at the call that caused it. Every failure raises IOException with the errno value.
class BinaryStream final {
public:
    ~BinaryStream();
    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;

    // Opens an existing file (read-write when `readWrite`, else read-only).
    static Ref<BinaryStream> Open(const Ref<FolderItem>& file, bool readWrite);
    // Creates the file, empty; an existing one is replaced only when `replace`.
    static Ref<BinaryStream> Create(const Ref<FolderItem>& file, bool replace);

    // Signed 16-bit integers, most significant byte first.
    int16_t ReadShort();
    void WriteShort(int16_t value);
    // One byte: 1 or 0 written, any non-zero byte read as True.
    bool ReadBoolean();
    void WriteBoolean(bool value);
    int64_t Length() const;
    // Closes the file; a failure to close raises. Later reads and writes raise too.
    void Close();

    // Takes ownership of the open descriptor `fd`.
    BinaryStream(int fd, String path);

private:
    void readBytes(unsigned char* bytes, size_t count);
    void writeBytes(const unsigned char* bytes, size_t count);
    void ensureOpen() const;

    int m_fd { -1 };
    String m_path;
};
