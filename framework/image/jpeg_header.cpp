// A JPEG file's header through libjpeg, and the walk to the end of its first picture.
#include "framework/image/jpeg_header.h"

#include "framework/image/buffer.h"
#include "framework/image/exif.h"
#include "framework/image/jpeg_decompressor.h"

#include <jerror.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int ExifMarker = JPEG_APP0 + 1;
constexpr int IccMarker = JPEG_APP0 + 2;

void readMarkers(jpeg_decompress_struct& info, JpegHeader& header)
{
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next) {
        if (m->marker == ExifMarker && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
            header.orientation = ExifOrientation(m->data, m->data_length);
            break;
        }
    }
}

} // namespace

JpegScan ScanJpegHeader(const uint8_t* data, size_t size, JpegHeader& header)
{
    if (size < 3)
        return size == 0 || (data[0] == 0xFF && (size < 2 || data[1] == 0xD8)) ? JpegScan::NeedMore : JpegScan::NotJpeg;
    if (!LooksLikeJpeg(data, size))
        return JpegScan::NotJpeg;
    JpegDecompressor r;
    jpeg_decompress_struct& info = r.info;
    const bool read = r.errors.Run([&] {
        r.Create(data, size);
        jpeg_save_markers(&info, ExifMarker, 0xFFFF);
        jpeg_save_markers(&info, IccMarker, 0xFFFF);
        jpeg_read_header(&info, TRUE);
    });
    if (!read) {
        // libjpeg makes up an end where the data runs out: whatever it says next is about that.
        if (r.errors.DataEnded())
            return JpegScan::NeedMore;
        header.problem = r.errors.Code() == JERR_IMAGE_TOO_BIG ? TooLargeToOpen(info.image_width, info.image_height)
                                                                : r.errors.Reason();
        return JpegScan::Refused;
    }
    header.width = int32_t(info.image_width);
    header.height = int32_t(info.image_height);
    header.components = info.num_components;
    header.cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    header.samples = 0;
    for (int c = 0; c < info.num_components; ++c)
        header.samples += int64_t(info.comp_info[c].downsampled_width) * info.comp_info[c].downsampled_height;
    header.wholeFrame = info.progressive_mode || info.comps_in_scan < info.num_components;
    header.headerEnd = size - info.src->bytes_in_buffer;
    readMarkers(info, header);
    JOCTET* icc = nullptr;
    unsigned int iccSize = 0;
    // A profile with a chunk missing or repeated is no profile: the colours are then taken as sRGB.
    if (r.errors.Run([&] { jpeg_read_icc_profile(&info, &icc, &iccSize); }) && icc) {
        const std::unique_ptr<JOCTET, void (*)(void*)> owned(icc, &std::free);
        header.icc.assign(icc, icc + iccSize);
    }
    return JpegScan::Done;
}

bool FindJpegEnd(const uint8_t* data, size_t size, size_t& pos)
{
    while (pos < size) {
        const auto* hit = static_cast<const uint8_t*>(std::memchr(data + pos, 0xFF, size - pos));
        if (!hit)
            break;
        const size_t at = size_t(hit - data);
        if (at + 1 >= size) {
            pos = at;
            return false;
        }
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            pos = at + 1; // a fill byte
            continue;
        }
        // A stuffed zero (entropy-coded data never holds 0xFF otherwise), a restart marker, or
        // another marker without a length.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            pos = at + 2;
            continue;
        }
        if (marker == 0xD9) {
            pos = at + 2;
            return true;
        }
        // A marker segment between scans (tables, the next scan's header) is skipped whole, so
        // that nothing inside it is taken for a marker.
        if (at + 4 > size) {
            pos = at;
            return false;
        }
        const size_t length = std::max<size_t>(size_t(data[at + 2]) << 8 | data[at + 3], 2);
        if (at + 2 + length > size) {
            pos = at;
            return false;
        }
        pos = at + 2 + length;
    }
    pos = size;
    return false;
}
