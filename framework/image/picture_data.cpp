// A picture's pixels, decoded when first needed and rendered at the size a draw asks for.
#include "framework/image/picture_data.h"

#include "framework/image/colour.h"
#include "framework/image/resample.h"
#include "framework/image/private/read_ahead.h"

#include <atomic>

namespace {

std::atomic<uint64_t> nextId { 1 };

} // namespace

PictureData::PictureData() : id(nextId.fetch_add(1)) {}

std::shared_ptr<ImageBuffer> PictureData::Render(SourceRect rect, int32_t gridWidth, int32_t gridHeight, PixelRect window)
{
    const RenderKey key { id, version, rect, gridWidth, gridHeight, window, false };
    if (rendered && renderedKey == key)
        return rendered;
    Flush();
    std::shared_ptr<ImageBuffer> result;
    if (pixels) {
        result = ResampleLanczos3(ViewOf(*pixels), rect, gridWidth, gridHeight, window);
        result->icc = icc;
    } else if (source) {
        result = ReadAhead::Render(*source, rect, gridWidth, gridHeight, window);
        if (!result)
            result = source->Render(rect, gridWidth, gridHeight, window);
        // A file's profile (and, for some formats, its alpha) is known once it is decoded.
        icc = result->icc;
        hasMask = hasMask || result->hasAlpha;
    } else {
        result = ImageBuffer::Filled(window.width, window.height, 255, 255, 255, 255);
        result->icc = icc;
    }
    renderedKey = key;
    rendered = result;
    return result;
}

void PictureData::Flush()
{
    if (!pending)
        return;
    Layer layer = std::move(*pending);
    pending.reset();
    const bool whole = layer.at == PixelRect { 0, 0, width, height };
    if (whole && (layer.replace || !layer.pixels->hasAlpha)) {
        // The layer covers everything and hides what lay below: take it as it is.
        pixels = std::move(layer.pixels);
        source.reset();
        return;
    }
    ImageBuffer& target = MutablePixels();
    if (layer.replace)
        CopyInto(target, *layer.pixels, layer.at.x, layer.at.y);
    else
        CompositeOver(target, *layer.pixels, layer.at.x, layer.at.y);
}

ImageBuffer& PictureData::Materialize()
{
    Flush();
    if (!pixels) {
        if (source) {
            pixels = source->Render({ 0, 0, double(width), double(height) }, width, height, { 0, 0, width, height });
            icc = pixels->icc;
            hasMask = hasMask || pixels->hasAlpha;
            source.reset();
        } else {
            pixels = ImageBuffer::Filled(width, height, 255, 255, 255, 255);
        }
    }
    return *pixels;
}

ImageBuffer& PictureData::MutablePixels()
{
    Materialize();
    if (pixels.use_count() > 1)
        pixels = std::make_shared<ImageBuffer>(*pixels);
    return *pixels;
}

std::shared_ptr<ImageBuffer> PictureData::Snapshot(bool mask)
{
    Materialize();
    return mask ? MaskAsGrey(*pixels) : pixels;
}
