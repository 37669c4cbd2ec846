// Pixel buffers: filled ones, and whether any pixel is transparent.
#include "framework/image/buffer.h"

#include <cstring>
#include <new>

std::shared_ptr<ImageBuffer> ImageBuffer::Filled(int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    if (width < 0 || height < 0 || int64_t(width) * height > MaxImagePixels)
        throw std::bad_alloc();
    auto image = std::make_shared<ImageBuffer>();
    image->width = width;
    image->height = height;
    image->hasAlpha = a != 255;
    const size_t n = size_t(width) * size_t(height);
    image->pixels.resize(n * 4);
    const uint8_t px[4] = { r, g, b, a };
    uint8_t* p = image->pixels.data();
    for (size_t i = 0; i < n; ++i, p += 4)
        std::memcpy(p, px, 4);
    return image;
}

bool ImageBuffer::AnyTransparent() const
{
    if (!hasAlpha)
        return false;
    const size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i)
        if (pixels[i * 4 + 3] != 255)
            return true;
    return false;
}

std::string TooLargeToOpen(int64_t width, int64_t height)
{
    return "The picture is too large to open (" + std::to_string(width) + " x " + std::to_string(height) + " pixels).";
}
