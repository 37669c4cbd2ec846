#pragma once

#include "framework/image/buffer.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A picture file, known by its header until its pixels are asked for. Probe reads only the
// header; Render reads the file again and decodes no more than the requested size needs (for
// JPEG through the decoder's DCT scaling), so nothing large stays in memory between the two.
// Immutable once probed, and touching neither windows nor the GUI thread, so any thread may
// render it.
class ImageSource final {
public:
    // The file at `path` as a picture, decided by content; null for anything that is no picture
    // (folders, devices, empty files, no picture format's signature). A file that is there and
    // cannot be opened for reading (no permission), or that starts with a picture format's
    // signature and whose header cannot be read or claims more than FitsImageLimits allows,
    // raises IOException with the reason.
    static std::shared_ptr<const ImageSource> Probe(const std::string& path);

    // Upright size (after the EXIF orientation).
    int32_t Width() const { return m_transposed ? m_storedHeight : m_storedWidth; }
    int32_t Height() const { return m_transposed ? m_storedWidth : m_storedHeight; }
    // Whether the header announces an alpha channel.
    bool HasAlpha() const { return m_hasAlpha; }
    int32_t Orientation() const { return m_orientation; }

    // The upright rectangle `rect` scaled onto a grid of gridWidth x gridHeight pixels; only the
    // part `window` of the grid is computed. The result carries the file's ICC profile. Throws
    // ImageCodecError for a file that cannot be decoded (any more), std::bad_alloc. A JPEG decode
    // gives up with ImageCodecError soon after `stop` becomes true.
    std::shared_ptr<ImageBuffer> Render(SourceRect rect, int32_t gridWidth, int32_t gridHeight, PixelRect window,
        const std::atomic<bool>* stop = nullptr) const;

    const std::string& Path() const { return m_path; }
    // About how many bytes rendering onto a grid of that size takes at its peak, the decoder's
    // full-size buffers included (a JPEG's whole frame of coefficients, a picture Qt decodes).
    int64_t RenderBytes(int32_t gridWidth, int32_t gridHeight) const;
    // Probed from the same bytes: renderings of both are the same.
    friend bool operator==(const ImageSource&, const ImageSource&) = default;

    // A JPEG file's bytes through the end of its first picture. No more is read than its pixels
    // could ever take, so a small picture followed by gigabytes (a video, padding) stays small.
    // Throws ImageCodecError when the file cannot be read.
    FileBytes ReadFile() const;

    ImageSource() = default;

private:
    enum class Kind { Jpeg, Qt };
    friend struct SourceDecoder;

    std::string m_path;
    Kind m_kind { Kind::Qt };
    int32_t m_storedWidth { 0 };
    int32_t m_storedHeight { 0 };
    int32_t m_orientation { 1 };
    bool m_transposed { false };
    bool m_hasAlpha { false };
    std::vector<uint8_t> m_icc;
    size_t m_jpegHeaderEnd { 0 };
    size_t m_jpegReadLimit { 0 };
    int64_t m_fileSize { 0 };
    int64_t m_jpegCoefficientBytes { 0 }; // held at once by a progressive decode, else 0
    int32_t m_decodedBytesPerPixel { 4 }; // of the picture Qt decodes
};
