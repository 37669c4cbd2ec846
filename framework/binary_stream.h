#pragma once

#include "framework/folder_item.h"
#include "framework/ref.h"

#include <cstdint>
#include <cstdio>

// A file read and written as big-endian binary fields. Every failure raises IOException.
class BinaryStream final {
public:
    ~BinaryStream();
    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;

    // Opens an existing file (read-write when `readWrite`, else read-only).
    static Ref<BinaryStream> Open(const Ref<FolderItem>& file, bool readWrite);
    // Creates the file, empty; an existing one is replaced only when `replace`.
    static Ref<BinaryStream> Create(const Ref<FolderItem>& file, bool replace);

    int16_t ReadShort();
    void WriteShort(int16_t value);
    // One byte: 1 or 0 written, any non-zero byte read as True.
    bool ReadBoolean();
    void WriteBoolean(bool value);
    int64_t Length() const;
    void Close();

    explicit BinaryStream(std::FILE* file, String path);

private:
    void readBytes(unsigned char* bytes, size_t count);
    void writeBytes(const unsigned char* bytes, size_t count);

    std::FILE* m_file { nullptr };
    String m_path;
};
