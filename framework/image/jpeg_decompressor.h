#pragma once

#include "framework/image/jpeg_errors.h"

#include <cstddef>
#include <cstdint>

// A libjpeg decompressor that is destroyed on every way out, a progressive frame's coefficients
// and all: its owner may throw at any point once it is made.
struct JpegDecompressor {
    JpegErrors errors;
    jpeg_decompress_struct info {};
    bool created { false };

    explicit JpegDecompressor(JpegErrors::Warnings warnings = JpegErrors::Warnings::PassOver)
        : errors(warnings)
    {
        info.err = errors.Manager();
    }
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;
    ~JpegDecompressor()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }

    // Makes the decompressor and points it at `data`; false on failure. Through errors.Run only.
    void Create(const uint8_t* data, size_t size)
    {
        jpeg_create_decompress(&info);
        created = true;
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    }
};
