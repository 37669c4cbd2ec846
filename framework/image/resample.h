#pragma once

#include "framework/image/buffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// Rows of pixels made as they are asked for, in increasing order (rows may be skipped): a
// decoder hands them over without ever holding the whole picture. The row stays valid until the
// next call (of any row source of the same decoder); nil when it cannot be made, and
// RethrowFailure() then raises the reason.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual const uint8_t* Row(int32_t y) noexcept = 0;
    virtual void RethrowFailure() = 0;
};

// Read-only pixels handed to the resampler: 8-bit RGBA or BGRA (Qt's ARGB32 in memory), with
// straight alpha, or opaque (the fourth byte is then ignored). The rows lie in `data`, or come
// from `rows` when that is set.
struct PixelView {
    const uint8_t* data { nullptr };
    int32_t width { 0 };
    int32_t height { 0 };
    ptrdiff_t stride { 0 };
    bool bgra { false };
    bool hasAlpha { false };
    RowSource* rows { nullptr };
};

inline PixelView ViewOf(const ImageBuffer& image)
{
    return { image.pixels.data(), image.width, image.height, ptrdiff_t(image.width) * 4, false, image.hasAlpha };
}

// Scales `source` (the part `sourceRect` of `view`) onto a grid of gridWidth x gridHeight pixels
// with a separable Lanczos3 filter, widened by the scale factor when shrinking so that it also
// removes what the smaller grid cannot hold. Colours are weighted by alpha (filtered
// premultiplied), so transparent pixels lend no colour to their neighbours. Only the pixels of
// `window` (a part of the grid) are computed; the result is window-sized, RGBA, straight alpha.
// Throws std::bad_alloc when the result cannot be allocated.
std::shared_ptr<ImageBuffer> ResampleLanczos3(const PixelView& view, SourceRect sourceRect, int32_t gridWidth,
    int32_t gridHeight, PixelRect window);

// One channel of a picture as its decoder gives it, 8 bits a sample, at a resolution of its own
// (a JPEG's chroma often has half the luma's): `rect` is the part drawn, in the plane's own
// samples. The rows lie in `data`, or come from `rows` when that is set.
struct PlaneView {
    const uint8_t* data { nullptr };
    int32_t width { 0 };
    int32_t height { 0 };
    ptrdiff_t stride { 0 };
    RowSource* rows { nullptr };
    SourceRect rect;
};

// What the planes of a picture hold: grey (one plane), or three planes of Y, Cb and Cr (as JFIF
// defines them) or of R, G and B.
enum class PlaneColours { Grey, YCbCr, Rgb };

// Scales each plane onto the same grid as ResampleLanczos3 does, then turns the planes into opaque
// RGBA: colour conversion, and the chroma's upsampling, happen on the small result only.
std::shared_ptr<ImageBuffer> ResamplePlanes(std::span<const PlaneView> planes, PlaneColours colours, int32_t gridWidth,
    int32_t gridHeight, PixelRect window);
