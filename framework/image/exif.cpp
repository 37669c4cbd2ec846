// The EXIF orientation: read from a JPEG's header, and applied to rectangles and pixels.
#include "framework/image/exif.h"

#include <cstring>

namespace {

struct TiffReader {
    const uint8_t* data;
    size_t size;
    bool littleEndian;

    bool u16(size_t at, uint32_t& out) const
    {
        if (at > size || size - at < 2)
            return false;
        out = littleEndian ? uint32_t(data[at]) | uint32_t(data[at + 1]) << 8
                           : uint32_t(data[at]) << 8 | uint32_t(data[at + 1]);
        return true;
    }
    bool u32(size_t at, uint32_t& out) const
    {
        if (at > size || size - at < 4)
            return false;
        if (littleEndian)
            out = uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 | uint32_t(data[at + 3]) << 24;
        else
            out = uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 | uint32_t(data[at + 3]);
        return true;
    }
};

} // namespace

int32_t ExifOrientation(const uint8_t* payload, size_t size)
{
    static const uint8_t signature[6] = { 'E', 'x', 'i', 'f', 0, 0 };
    if (size < 6 + 8 || std::memcmp(payload, signature, 6) != 0)
        return 1;
    const uint8_t* tiff = payload + 6;
    const size_t tiffSize = size - 6;
    TiffReader r { tiff, tiffSize, false };
    if (tiff[0] == 'I' && tiff[1] == 'I')
        r.littleEndian = true;
    else if (!(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    uint32_t magic = 0, ifd = 0, count = 0;
    if (!r.u16(2, magic) || magic != 42 || !r.u32(4, ifd) || !r.u16(ifd, count))
        return 1;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = size_t(ifd) + 2 + size_t(i) * 12;
        uint32_t tag = 0, type = 0, n = 0, value = 0;
        if (!r.u16(entry, tag) || !r.u16(entry + 2, type) || !r.u32(entry + 4, n) || !r.u16(entry + 8, value))
            return 1;
        if (tag != 0x0112)
            continue;
        // A SHORT stored inline; anything else is malformed.
        if (type != 3 || n < 1 || value < 1 || value > 8)
            return 1;
        return int32_t(value);
    }
    return 1;
}

SourceRect UprightToStored(SourceRect u, int32_t orientation, double w0, double h0)
{
    switch (orientation) {
    case 2: return { w0 - u.x - u.width, u.y, u.width, u.height };
    case 3: return { w0 - u.x - u.width, h0 - u.y - u.height, u.width, u.height };
    case 4: return { u.x, h0 - u.y - u.height, u.width, u.height };
    case 5: return { u.y, u.x, u.height, u.width };
    case 6: return { u.y, h0 - u.x - u.width, u.height, u.width };
    case 7: return { w0 - u.y - u.height, h0 - u.x - u.width, u.height, u.width };
    case 8: return { w0 - u.y - u.height, u.x, u.height, u.width };
    default: return u;
    }
}

PixelRect UprightToStored(PixelRect u, int32_t orientation, int32_t w0, int32_t h0)
{
    const SourceRect s = UprightToStored(SourceRect { double(u.x), double(u.y), double(u.width), double(u.height) },
        orientation, double(w0), double(h0));
    return { int32_t(s.x), int32_t(s.y), int32_t(s.width), int32_t(s.height) };
}

std::shared_ptr<ImageBuffer> Orient(std::shared_ptr<ImageBuffer> image, int32_t orientation)
{
    if (orientation < 2 || orientation > 8)
        return image;
    const int32_t w0 = image->width, h0 = image->height;
    const bool transposes = OrientationTransposes(orientation);
    auto out = std::make_shared<ImageBuffer>();
    out->width = transposes ? h0 : w0;
    out->height = transposes ? w0 : h0;
    out->hasAlpha = image->hasAlpha;
    out->icc = image->icc;
    out->pixels.resize(image->pixels.size());
    // Stored position of upright pixel (u, v): x = cx + ax*u + bx*v, y = cy + ay*u + by*v.
    int32_t ax = 0, bx = 0, cx = 0, ay = 0, by = 0, cy = 0;
    switch (orientation) {
    case 2: ax = -1; cx = w0 - 1; by = 1; break;
    case 3: ax = -1; cx = w0 - 1; by = -1; cy = h0 - 1; break;
    case 4: ax = 1; by = -1; cy = h0 - 1; break;
    case 5: bx = 1; ay = 1; break;
    case 6: bx = 1; ay = -1; cy = h0 - 1; break;
    case 7: bx = -1; cx = w0 - 1; ay = -1; cy = h0 - 1; break;
    case 8: bx = -1; cx = w0 - 1; ay = 1; break;
    }
    const uint8_t* src = image->pixels.data();
    uint8_t* dst = out->pixels.data();
    for (int32_t v = 0; v < out->height; ++v) {
        int32_t x = cx + bx * v, y = cy + by * v;
        for (int32_t u = 0; u < out->width; ++u, x += ax, y += ay, dst += 4)
            std::memcpy(dst, src + (size_t(y) * size_t(w0) + size_t(x)) * 4, 4);
    }
    return out;
}
