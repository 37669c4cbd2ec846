#pragma once

#include "framework/image/buffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// EXIF orientation: 1 is upright; 2 to 8 are the mirrored and rotated ways a camera stores a
// picture, numbered as in the EXIF standard.

// The orientation recorded in an APP1 payload (beginning with "Exif\0\0"), 1 when it records none
// or the data is malformed. Every offset is checked against `size`.
int32_t ExifOrientation(const uint8_t* payload, size_t size);

// True for the orientations that exchange width and height (5 to 8).
inline bool OrientationTransposes(int32_t orientation) { return orientation >= 5 && orientation <= 8; }

// The rectangle of the stored (as-encoded) picture that shows the rectangle `upright` of the
// upright picture. storedWidth and storedHeight are the stored picture's size.
SourceRect UprightToStored(SourceRect upright, int32_t orientation, double storedWidth, double storedHeight);
PixelRect UprightToStored(PixelRect upright, int32_t orientation, int32_t storedWidth, int32_t storedHeight);

// The stored picture `image` turned upright. Returns `image` itself for orientation 1.
std::shared_ptr<ImageBuffer> Orient(std::shared_ptr<ImageBuffer> image, int32_t orientation);
