#pragma once

#include "framework/image/buffer.h"
#include "framework/image/jpeg_header.h"
#include "framework/image/resample.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

// JPEG through libjpeg-turbo: decoding to planes row by row, and encoding. All functions are
// reentrant.

class ImageCodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The smallest decoder scaling of 1/8, 1/4, 1/2 whose result is at least minWidth x minHeight;
// 1/1 when none is.
struct JpegScale {
    int32_t num { 1 };
    int32_t denom { 1 };
    int32_t Scaled(int32_t length) const { return int32_t((int64_t(length) * num + denom - 1) / denom); }
};
JpegScale ChooseJpegScale(int32_t width, int32_t height, double minWidth, double minHeight);

// Decodes the file's first picture at that scale as it is stored (stored orientation): planes of
// 8-bit samples straight from the decoder, one for grey, three (Y, Cb, Cr, or R, G, B) for colour,
// each at its own resolution, with neither colour conversion nor chroma upsampling. Rows are
// decoded a band at a time as the planes' row sources ask for them, so that the picture is never
// held whole. Keeps the file's bytes. Throws ImageCodecError for a damaged or incomplete file (one
// whose data ends before its picture does, too) and std::bad_alloc when memory runs out, from the
// constructor; a row source gives nil instead and RethrowFailure() raises the reason. Once `stop`
// is true, the next rows fail.
class JpegPlanes final {
public:
    JpegPlanes(FileBytes file, JpegScale scale, const std::atomic<bool>* stop = nullptr);
    ~JpegPlanes();
    JpegPlanes(const JpegPlanes&) = delete;
    JpegPlanes& operator=(const JpegPlanes&) = delete;

    // The scaled picture.
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    PlaneColours Colours() const { return m_colours; }

    struct Plane {
        int32_t width { 0 };
        int32_t height { 0 };
        // Samples of the plane per pixel of the picture before scaling, across and down.
        double scaleX { 1 };
        double scaleY { 1 };
    };
    int32_t PlaneCount() const { return int32_t(m_planes.size()); }
    const Plane& PlaneAt(int32_t index) const { return m_planes[size_t(index)].plane; }
    RowSource& Rows(int32_t index) { return m_planes[size_t(index)].rows; }

private:
    // One plane's rows from the one asked for last to the last decoded.
    struct PlaneRows final : RowSource {
        JpegPlanes* owner { nullptr };
        int32_t index { 0 };
        const uint8_t* Row(int32_t y) noexcept override { return owner->row(index, y); }
        void RethrowFailure() override { owner->rethrowFailure(); }
    };
    struct PlaneState {
        Plane plane;
        PlaneRows rows;
        std::vector<uint8_t, UninitialisedAllocator<uint8_t>> bytes;
        size_t stride { 0 };
        int32_t band { 0 };  // rows the decoder gives at a time
        int32_t first { 0 }; // number of the first row in `bytes`
        int32_t count { 0 };
        int32_t asked { 0 }; // the row asked for last
    };

    const uint8_t* row(int32_t index, int32_t y) noexcept;
    void decodeBand();
    void rethrowFailure();

    struct State;
    std::exception_ptr m_failure;
    const std::atomic<bool>* m_stop { nullptr };
    FileBytes m_file;
    std::unique_ptr<State> m_state;
    std::vector<PlaneState> m_planes;
    PlaneColours m_colours { PlaneColours::YCbCr };
    int32_t m_width { 0 };
    int32_t m_height { 0 };
};

// Encodes the colour of `image` (its alpha is ignored: flatten first) at quality 1 to 100 and
// embeds `icc` when not empty. Throws ImageCodecError.
std::vector<uint8_t> EncodeJpeg(const ImageBuffer& image, int32_t quality, const std::vector<uint8_t>& icc);
