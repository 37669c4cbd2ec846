#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A JPEG file's header as libjpeg reads it, with the markers it does not interpret itself (EXIF
// orientation, ICC profile), and a walk to the end of the file's first picture. All functions
// are reentrant.

struct JpegHeader {
    int32_t width { 0 };  // as stored, before orientation
    int32_t height { 0 };
    int32_t orientation { 1 };
    bool cmyk { false };  // CMYK or YCCK: the planar decoder cannot turn these into RGB
    int32_t components { 0 };
    int64_t samples { 0 }; // of all components together, after their subsampling
    // Progressive, or a first scan without every component: the decoder then holds every
    // coefficient of the frame at once, whatever the scale it decodes to.
    bool wholeFrame { false };
    std::vector<uint8_t> icc;
    size_t headerEnd { 0 }; // offset just past the first scan header
    std::string problem;    // why the decoder refuses the file, when it does
};

enum class JpegScan { Done, NeedMore, NotJpeg, Refused };

// Reads the markers of `data` (a prefix of a file) up to the first scan. NeedMore when the prefix
// ends before that; NotJpeg when it does not start like a JPEG file; Refused, with the reason in
// `problem`, for a header the decoder refuses (damaged, a kind it cannot read, too large).
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
