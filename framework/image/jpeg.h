#pragma once

#include "framework/image/buffer.h"
#include "framework/image/resample.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

// JPEG through libjpeg-turbo (its TurboJPEG API, and its libjpeg API for decoding row by row),
// plus a small marker reader for what those APIs do
// not report (EXIF orientation, ICC profile). All functions are reentrant.

class ImageCodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct JpegHeader {
    int32_t width { 0 };  // as stored, before orientation
    int32_t height { 0 };
    int32_t orientation { 1 };
    bool cmyk { false };  // CMYK or YCCK: TurboJPEG cannot turn these into RGB
    int32_t components { 0 };
    int64_t samples { 0 }; // of all components together, after their subsampling
    // Progressive, or a first scan without every component: the decoder then holds every
    // coefficient of the frame at once, whatever the scale it decodes to.
    bool wholeFrame { false };
    std::vector<uint8_t> icc;
    size_t headerEnd { 0 }; // offset just past the first scan header
};

enum class JpegScan { Done, NeedMore, NotJpeg };

// Reads the markers of `data` (a prefix of a file) up to the first scan. NeedMore when the prefix
// ends before that; NotJpeg for anything the decoder would refuse.
JpegScan ScanJpegHeader(const uint8_t* data, size_t size, JpegHeader& header);

// Walks the compressed data and the marker segments between scans, from `pos` (at first the
// header's headerEnd), to the end-of-image marker. True when it is found, `pos` then just past it;
// false when `data` ends first, `pos` then where the walk goes on once more bytes are there.
bool FindJpegEnd(const uint8_t* data, size_t size, size_t& pos);

// True when the bytes start like a JPEG file.
inline bool LooksLikeJpeg(const uint8_t* data, size_t size)
{
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

// The smallest decoder scaling of 1/8, 1/4, 1/2 whose result is at least minWidth x minHeight;
// 1/1 when none is.
struct JpegScale {
    int32_t num { 1 };
    int32_t denom { 1 };
    int32_t Scaled(int32_t length) const { return int32_t((int64_t(length) * num + denom - 1) / denom); }
};
JpegScale ChooseJpegScale(int32_t width, int32_t height, double minWidth, double minHeight);

// Decodes the file's first picture at that scale into opaque RGBA (stored orientation), a few
// rows at a time as the resampler asks for them, so that the decoded picture is never held
// whole. Keeps the file's bytes. Throws ImageCodecError for a damaged or incomplete file (one
// whose data ends before its picture does, too) and std::bad_alloc when memory runs out, from the
// constructor; Row() gives nil instead and RethrowFailure() raises the reason. Once `stop` is
// true, the next rows fail.
class JpegRowDecoder final : public RowSource {
public:
    JpegRowDecoder(FileBytes file, JpegScale scale, const std::atomic<bool>* stop = nullptr);
    ~JpegRowDecoder() override;
    JpegRowDecoder(const JpegRowDecoder&) = delete;
    JpegRowDecoder& operator=(const JpegRowDecoder&) = delete;

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    const uint8_t* Row(int32_t y) noexcept override;
    void RethrowFailure() override;

private:
    const uint8_t* nextRow(int32_t y);

    struct State;
    std::exception_ptr m_failure;
    const std::atomic<bool>* m_stop { nullptr };
    FileBytes m_file;
    std::unique_ptr<State> m_state;
    std::vector<uint8_t> m_rows; // the last rows decoded
    int32_t m_width { 0 };
    int32_t m_height { 0 };
    int32_t m_first { 0 };       // number of the first row in m_rows
    int32_t m_count { 0 };       // rows in m_rows
};

// Encodes the colour of `image` (its alpha is ignored: flatten first) at quality 1 to 100 and
// embeds `icc` when not empty. Throws ImageCodecError.
std::vector<uint8_t> EncodeJpeg(const ImageBuffer& image, int32_t quality, const std::vector<uint8_t>& icc);
