#pragma once

#include "framework/image/buffer.h"

#include <cstdint>
#include <vector>

// Encodes `image` as an 8-bit PNG with libpng: RGBA when `withAlpha`, RGB otherwise; `icc` goes
// into an iCCP chunk when not empty. zlib level 4 writes nearly the size of the default level in
// about half the time. Throws ImageCodecError (image_jpeg.h).
std::vector<uint8_t> EncodePng(const ImageBuffer& image, bool withAlpha, const std::vector<uint8_t>& icc,
    int compressionLevel = 4);
