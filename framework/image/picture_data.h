#pragma once

#include "framework/image/buffer.h"
#include "framework/image/source.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// What a scaled rendering of a picture was made from: which picture in which state, which part,
// onto which grid, which part of the grid, and whether as colour or as mask.
struct RenderKey {
    uint64_t id { 0 };
    uint64_t version { 0 };
    SourceRect rect;
    int32_t gridWidth { 0 };
    int32_t gridHeight { 0 };
    PixelRect window;
    bool mask { false };
    friend bool operator==(const RenderKey&, const RenderKey&) = default;
};

// The shared state behind a picture and its mask. Content is, in order of precedence: full
// pixels; else an opened file (decoded when needed); else plain opaque white (a new picture
// that nothing was drawn into yet, which costs no memory). On top of it may lie one drawn layer
// not yet composited, so that the run's "draw the colour, then the same picture's mask" becomes a
// single copy of one rendering.
struct PictureData {
    PictureData();

    const uint64_t id;
    // Bumped on every change of content, so renderings made before it are not reused.
    uint64_t version { 0 };
    int32_t width { 0 };
    int32_t height { 0 };
    int32_t depth { 32 };
    bool hasMask { false };
    // The ICC profile of the colour values; empty means sRGB.
    std::vector<uint8_t> icc;

    std::shared_ptr<ImageBuffer> pixels;
    std::shared_ptr<const ImageSource> source;

    struct Layer {
        std::shared_ptr<ImageBuffer> pixels;
        PixelRect at;
        RenderKey key;
        // False: composited over the colour. True: the layer's colour and alpha replace both
        // (its picture's mask was drawn into our mask with the same rectangles).
        bool replace { false };
    };
    std::optional<Layer> pending;

    // The last scaled rendering of this picture as a source.
    RenderKey renderedKey;
    std::shared_ptr<ImageBuffer> rendered;

    bool Plain() const { return !pixels && !source && !pending; }

    // The picture scaled (colour and alpha together); reuses the last rendering when the key
    // matches. Throws ImageCodecError, std::bad_alloc.
    std::shared_ptr<ImageBuffer> Render(SourceRect rect, int32_t gridWidth, int32_t gridHeight, PixelRect window);
    // Composites the pending layer.
    void Flush();
    // Full pixels from here on (decodes an opened file, fills a plain picture).
    ImageBuffer& Materialize();
    // The full pixels, copied first when a rendering or another picture shares them.
    ImageBuffer& MutablePixels();
    // The picture as it would be saved: the colour, or the mask as grey.
    std::shared_ptr<ImageBuffer> Snapshot(bool mask);
};
