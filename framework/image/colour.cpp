// Colour management (ICC profiles through lcms2) and compositing of pixel buffers.
#include "framework/image/colour.h"

#include <lcms2.h>

#include <cstring>

namespace {

inline uint8_t blend(uint32_t s, uint32_t d, uint32_t a)
{
    return uint8_t((s * a + d * (255 - a) + 127) / 255);
}

inline uint32_t grey(const uint8_t* p)
{
    return (uint32_t(p[0]) * 77 + uint32_t(p[1]) * 150 + uint32_t(p[2]) * 29 + 128) >> 8;
}

cmsHPROFILE openProfile(const std::vector<uint8_t>& icc)
{
    if (icc.empty())
        return cmsCreate_sRGBProfile();
    return cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
}

} // namespace

bool IsRgbProfile(const std::vector<uint8_t>& icc)
{
    return icc.size() >= 128 && std::memcmp(icc.data() + 16, "RGB ", 4) == 0;
}

void ConvertToProfile(ImageBuffer& image, const std::vector<uint8_t>& profile)
{
    if (image.icc == profile)
        return;
    cmsHPROFILE from = IsRgbProfile(image.icc) || image.icc.empty() ? openProfile(image.icc) : nullptr;
    cmsHPROFILE to = IsRgbProfile(profile) || profile.empty() ? openProfile(profile) : nullptr;
    cmsHTRANSFORM transform = nullptr;
    if (from && to)
        transform = cmsCreateTransform(from, TYPE_RGBA_8, to, TYPE_RGBA_8, INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA);
    if (transform) {
        for (int32_t y = 0; y < image.height; ++y)
            cmsDoTransform(transform, image.row(y), image.row(y), cmsUInt32Number(image.width));
        cmsDeleteTransform(transform);
    }
    if (from)
        cmsCloseProfile(from);
    if (to)
        cmsCloseProfile(to);
    image.icc = profile;
}

std::shared_ptr<ImageBuffer> FlattenOntoWhite(const ImageBuffer& image)
{
    auto out = std::make_shared<ImageBuffer>(image);
    out->hasAlpha = false;
    if (!image.hasAlpha)
        return out;
    uint8_t* p = out->pixels.data();
    const size_t n = size_t(image.width) * size_t(image.height);
    for (size_t i = 0; i < n; ++i, p += 4) {
        const uint32_t a = p[3];
        p[0] = blend(p[0], 255, a);
        p[1] = blend(p[1], 255, a);
        p[2] = blend(p[2], 255, a);
        p[3] = 255;
    }
    return out;
}

void CompositeOver(ImageBuffer& target, const ImageBuffer& source, int32_t x, int32_t y)
{
    for (int32_t row = 0; row < source.height; ++row) {
        const uint8_t* s = source.row(row);
        uint8_t* d = target.row(y + row) + size_t(x) * 4;
        if (!source.hasAlpha) {
            for (int32_t i = 0; i < source.width; ++i, s += 4, d += 4)
                std::memcpy(d, s, 3);
            continue;
        }
        for (int32_t i = 0; i < source.width; ++i, s += 4, d += 4) {
            const uint32_t a = s[3];
            d[0] = blend(s[0], d[0], a);
            d[1] = blend(s[1], d[1], a);
            d[2] = blend(s[2], d[2], a);
        }
    }
}

void CopyInto(ImageBuffer& target, const ImageBuffer& source, int32_t x, int32_t y)
{
    for (int32_t row = 0; row < source.height; ++row)
        std::memcpy(target.row(y + row) + size_t(x) * 4, source.row(row), size_t(source.width) * 4);
    if (source.hasAlpha)
        target.hasAlpha = true;
}

std::shared_ptr<ImageBuffer> MaskAsGrey(const ImageBuffer& image)
{
    auto out = std::make_shared<ImageBuffer>();
    out->width = image.width;
    out->height = image.height;
    out->pixels.resize(image.pixels.size());
    const uint8_t* s = image.pixels.data();
    uint8_t* d = out->pixels.data();
    const size_t n = size_t(image.width) * size_t(image.height);
    for (size_t i = 0; i < n; ++i, s += 4, d += 4) {
        const uint8_t g = image.hasAlpha ? uint8_t(255 - s[3]) : 0;
        d[0] = d[1] = d[2] = g;
        d[3] = 255;
    }
    return out;
}

void DrawIntoMask(ImageBuffer& target, const ImageBuffer& source, int32_t x, int32_t y)
{
    for (int32_t row = 0; row < source.height; ++row) {
        const uint8_t* s = source.row(row);
        uint8_t* d = target.row(y + row) + size_t(x) * 4;
        for (int32_t i = 0; i < source.width; ++i, s += 4, d += 4) {
            const uint32_t a = source.hasAlpha ? s[3] : 255;
            const uint32_t g = blend(grey(s), 255 - d[3], a);
            d[3] = uint8_t(255 - g);
        }
    }
    target.hasAlpha = true;
}
