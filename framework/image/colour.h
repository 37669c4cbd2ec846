#pragma once

#include "framework/image/buffer.h"

#include <cstdint>
#include <memory>
#include <vector>

// Colour handling of picture buffers: ICC profiles (lcms2), flattening and compositing.

// True for an ICC profile whose data colour space is RGB, the only kind an RGB file may carry.
bool IsRgbProfile(const std::vector<uint8_t>& icc);

// Converts the colours of `image` from its profile to `profile` (empty: sRGB) and tags it with
// `profile`. When either profile cannot be used, the values are kept and only the tag changes.
void ConvertToProfile(ImageBuffer& image, const std::vector<uint8_t>& profile);

// A fully opaque copy: every pixel composited onto white.
std::shared_ptr<ImageBuffer> FlattenOntoWhite(const ImageBuffer& image);

// Composites `source` (straight alpha) over the colour of `target` at (x, y); the target's alpha
// stays as it is. The source must lie inside the target.
void CompositeOver(ImageBuffer& target, const ImageBuffer& source, int32_t x, int32_t y);
// Copies colour and alpha of `source` into `target` at (x, y).
void CopyInto(ImageBuffer& target, const ImageBuffer& source, int32_t x, int32_t y);

// The mask of `image` as a grey picture: black where opaque, white where transparent.
std::shared_ptr<ImageBuffer> MaskAsGrey(const ImageBuffer& image);
// Draws `source` (taken by its grey value, over by its own alpha) into the mask of `target` at
// (x, y): the target's alpha becomes 255 minus the resulting grey.
void DrawIntoMask(ImageBuffer& target, const ImageBuffer& source, int32_t x, int32_t y);
