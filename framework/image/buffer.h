#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Leaves new elements uninitialised: every pixel buffer is written in full right after it is
// sized, and clearing a hundred megabytes first would only cost time.
template<class T>
struct UninitialisedAllocator : std::allocator<T> {
    template<class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template<class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept { }
    template<class U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template<class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// A file's bytes, read straight into memory that was never cleared.
using FileBytes = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

// Pixels as the picture code passes them around: 8-bit RGBA, straight (not premultiplied) alpha,
// rows packed without padding. Everything that works on these is a pure function of its
// arguments, so decoding, resampling and encoding can run on any thread.
struct ImageBuffer {
    int32_t width { 0 };
    int32_t height { 0 };
    // False when every alpha byte is 255 by construction (decoded from a format without alpha).
    bool hasAlpha { false };
    std::vector<uint8_t, UninitialisedAllocator<uint8_t>> pixels;
    // The ICC profile the colour values are expressed in; empty means sRGB.
    std::vector<uint8_t> icc;

    uint8_t* row(int32_t y) { return pixels.data() + size_t(y) * size_t(width) * 4; }
    const uint8_t* row(int32_t y) const { return pixels.data() + size_t(y) * size_t(width) * 4; }

    // A buffer of that size filled with one colour; throws std::bad_alloc when it cannot be made.
    static std::shared_ptr<ImageBuffer> Filled(int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    // True when some pixel is not fully opaque (a scan; false at once when hasAlpha is false).
    bool AnyTransparent() const;
};

// A rectangle in pixels.
struct PixelRect {
    int32_t x { 0 };
    int32_t y { 0 };
    int32_t width { 0 };
    int32_t height { 0 };
    bool Empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A rectangle in source pixel coordinates, possibly fractional (after a decoder's scaling).
struct SourceRect {
    double x { 0 };
    double y { 0 };
    double width { 0 };
    double height { 0 };
    friend bool operator==(const SourceRect&, const SourceRect&) = default;
};

// Largest picture the framework makes or decodes, in pixels: 1 GiB of RGBA; and its longest
// side, libjpeg's. One limit for every format and decoder.
constexpr int64_t MaxImagePixels = int64_t(1) << 28;
constexpr int64_t MaxImageSide = 65500;
inline bool FitsImageLimits(int64_t width, int64_t height)
{
    return width <= MaxImageSide && height <= MaxImageSide && width * height <= MaxImagePixels;
}
// What a picture beyond those limits is told.
std::string TooLargeToOpen(int64_t width, int64_t height);
