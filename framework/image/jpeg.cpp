// JPEG through libjpeg-turbo: reading the header, decoding to planes a band at a time, encoding.
#include "framework/image/jpeg.h"

#include "framework/image/jpeg_decompressor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// What one APP2 marker holds of an ICC profile, after its 14 bytes of signature and numbering.
constexpr size_t IccChunkMax = 65533 - 14;

// Pictures from this many pixels on are decoded only after a check at an eighth of their size
// has shown that the file holds data for all of them.
constexpr int64_t CoverageCheckPixels = int64_t(1) << 24;

// Decodes the picture at an eighth of its size, a row at a time, and refuses data that ends or
// breaks off before the picture does: libjpeg-turbo would make up the rest, so a header of a few
// hundred bytes could pass for a gigabyte of pixels. Other irregularities that decoders pass over
// (stray bytes before a marker, say) are passed over here too.
void checkCoverage(const uint8_t* data, size_t size)
{
    JpegDecompressor d(JpegErrors::Warnings::StopOnDamage);
    std::vector<JSAMPLE> row;
    const bool decoded = d.errors.Run([&] {
        d.Create(data, size);
        jpeg_read_header(&d.info, TRUE);
        d.info.scale_num = 1;
        d.info.scale_denom = 8;
        d.info.out_color_space = JCS_RGB;
        d.info.dct_method = JDCT_ISLOW;
        jpeg_calc_output_dimensions(&d.info);
        row.resize(size_t(d.info.output_width) * size_t(d.info.output_components));
        jpeg_start_decompress(&d.info);
        JSAMPROW rows[1] = { row.data() };
        while (d.info.output_scanline < d.info.output_height)
            jpeg_read_scanlines(&d.info, rows, 1);
    });
    if (!decoded)
        throw ImageCodecError(d.errors.Reason());
}

} // namespace

JpegScale ChooseJpegScale(int32_t width, int32_t height, double minWidth, double minHeight)
{
    // Only 1/8, 1/4 and 1/2: libjpeg-turbo has SIMD code for those, and the odd eighths truncate
    // each block's spectrum so coarsely that a zone plate shows it (36.8 dB against 40.2 dB at
    // 1/2, for 6000 to 800 pixels).
    for (const int32_t denom : { 8, 4, 2 }) {
        const JpegScale s { 1, denom };
        if (s.Scaled(width) >= minWidth && s.Scaled(height) >= minHeight)
            return s;
    }
    return {};
}

namespace {

// Checks a file before its decoding takes memory: complete, not too large, and (for a large
// picture) holding data for all of it. Gives the number of bytes that make up its first picture.
size_t checkBeforeDecoding(const uint8_t* data, size_t size, JpegScale scale, int32_t& sw, int32_t& sh)
{
    // A file cut short lacks the end-of-image marker; whatever follows that marker (padding, a
    // video, another picture) is not part of the picture.
    JpegHeader header;
    const JpegScan scan = ScanJpegHeader(data, size, header);
    if (scan == JpegScan::Refused)
        throw ImageCodecError(header.problem);
    if (scan != JpegScan::Done)
        throw ImageCodecError("The JPEG file is incomplete.");
    // A file that ends with the marker needs no walk: should its first picture end earlier
    // without a marker, the decoder finds its data cut short.
    size_t end = header.headerEnd;
    const bool endsWithMarker = size >= 2 && data[size - 2] == 0xFF && data[size - 1] == 0xD9;
    if (!endsWithMarker && !FindJpegEnd(data, size, end))
        throw ImageCodecError("The JPEG file is incomplete.");
    if (!endsWithMarker)
        size = end;
    const int32_t w = header.width, h = header.height;
    // Two bytes per coefficient, whatever the scale: a header alone must not make the decoder
    // take more than the largest picture would.
    if (!FitsImageLimits(w, h) || (header.wholeFrame && header.samples * 2 > MaxImagePixels * 4))
        throw ImageCodecError(TooLargeToOpen(w, h));
    sw = scale.Scaled(w);
    sh = scale.Scaled(h);
    if (int64_t(sw) * sh >= CoverageCheckPixels && scale.denom != 8)
        checkCoverage(data, size);
    return size;
}

} // namespace

// The decompressor stops at data that ends or breaks off before the picture does, rather than
// make up the rest; other warnings (stray bytes before a marker, say) are passed over, as the
// coverage check does.
struct JpegPlanes::State : JpegDecompressor {
    State() : JpegDecompressor(JpegErrors::Warnings::StopOnDamage) {}

    template<class F>
    void run(F&& step)
    {
        if (!errors.Run(std::forward<F>(step)))
            throw ImageCodecError(errors.Reason());
    }
};

JpegPlanes::JpegPlanes(FileBytes file, JpegScale scale, const std::atomic<bool>* stop)
    : m_stop(stop)
    , m_file(std::move(file))
    , m_state(std::make_unique<State>())
{
    const size_t size = checkBeforeDecoding(m_file.data(), m_file.size(), scale, m_width, m_height);
    State& s = *m_state;
    const uint8_t* data = m_file.data();
    bool sizeMatches = false;
    s.run([&] {
        s.Create(data, size);
        jpeg_read_header(&s.info, TRUE);
        s.info.scale_num = unsigned(scale.num);
        s.info.scale_denom = unsigned(scale.denom);
        s.info.raw_data_out = TRUE;
        s.info.dct_method = JDCT_ISLOW;
        jpeg_start_decompress(&s.info);
        sizeMatches = int64_t(s.info.output_width) == m_width && int64_t(s.info.output_height) == m_height;
    });
    if (!sizeMatches)
        throw ImageCodecError("The JPEG decoder gave a picture of another size.");
    const int components = s.info.num_components;
    if (s.info.jpeg_color_space == JCS_GRAYSCALE && components == 1)
        m_colours = PlaneColours::Grey;
    else if (s.info.jpeg_color_space == JCS_YCbCr && components == 3)
        m_colours = PlaneColours::YCbCr;
    else if (s.info.jpeg_color_space == JCS_RGB && components == 3)
        m_colours = PlaneColours::Rgb;
    else
        throw ImageCodecError("The JPEG file's colours are of a kind that cannot be read.");

    m_planes.resize(size_t(components));
    for (int c = 0; c < components; ++c) {
        const jpeg_component_info& info = s.info.comp_info[c];
        PlaneState& p = m_planes[size_t(c)];
        p.plane.width = int32_t(info.downsampled_width);
        p.plane.height = int32_t(info.downsampled_height);
        p.plane.scaleX = double(info.h_samp_factor * info.DCT_scaled_size) / double(s.info.max_h_samp_factor * DCTSIZE);
        p.plane.scaleY = double(info.v_samp_factor * info.DCT_scaled_size) / double(s.info.max_v_samp_factor * DCTSIZE);
        p.rows.owner = this;
        p.rows.index = c;
        // The decoder writes whole blocks; the margin keeps the last one inside.
        p.stride = size_t(info.width_in_blocks + 1) * size_t(info.DCT_scaled_size);
        p.band = info.v_samp_factor * info.DCT_scaled_size;
        p.bytes.resize(p.stride * size_t(p.band) * 2);
    }
}

JpegPlanes::~JpegPlanes() = default;

void JpegPlanes::rethrowFailure()
{
    if (m_failure)
        std::rethrow_exception(m_failure);
    throw ImageCodecError("The JPEG file cannot be decoded.");
}

const uint8_t* JpegPlanes::row(int32_t index, int32_t y) noexcept
{
    if (m_failure)
        return nullptr;
    try {
        PlaneState& p = m_planes[size_t(index)];
        if (y < p.asked || y >= p.plane.height)
            throw ImageCodecError("The JPEG decoder was asked for a row it has passed or that lies past the picture.");
        p.asked = y;
        while (y >= p.first + p.count)
            decodeBand();
        return p.bytes.data() + size_t(y - p.first) * p.stride;
    } catch (const ImageCodecError&) {
        m_failure = std::current_exception();
    } catch (const std::bad_alloc&) {
        m_failure = std::current_exception();
    }
    return nullptr;
}

// Decodes the next band of rows of every plane. A plane keeps its rows from the one asked for last
// on, since the planes are asked for their rows in turn and one may lag a row or two behind.
void JpegPlanes::decodeBand()
{
    State& s = *m_state;
    if (m_stop && m_stop->load(std::memory_order_relaxed))
        throw ImageCodecError("The decoding was stopped.");
    if (s.info.output_scanline >= s.info.output_height)
        throw ImageCodecError("The JPEG decoder was asked for a row past the picture.");
    JSAMPROW pointers[MAX_COMPONENTS][4 * DCTSIZE];
    JSAMPARRAY planes[MAX_COMPONENTS];
    for (size_t c = 0; c < m_planes.size(); ++c) {
        PlaneState& p = m_planes[c];
        const int32_t done = std::clamp(p.asked - p.first, 0, p.count);
        if (done > 0) {
            std::memmove(p.bytes.data(), p.bytes.data() + size_t(done) * p.stride, size_t(p.count - done) * p.stride);
            p.first += done;
            p.count -= done;
        }
        const size_t needed = size_t(p.count + p.band) * p.stride;
        if (p.bytes.size() < needed)
            p.bytes.resize(needed);
        for (int32_t i = 0; i < p.band; ++i)
            pointers[c][i] = p.bytes.data() + size_t(p.count + i) * p.stride;
        planes[c] = pointers[c];
    }
    JDIMENSION got = 0;
    s.run([&] { got = jpeg_read_raw_data(&s.info, planes, JDIMENSION(s.info.max_v_samp_factor * s.info.min_DCT_scaled_size)); });
    if (got == 0)
        throw ImageCodecError("The JPEG file cannot be decoded: no more rows.");
    for (PlaneState& p : m_planes)
        p.count += p.band;
}

namespace {

// Owns the compressor and its output, so that any way out of the encoding releases both.
struct Compressor {
    JpegErrors errors;
    jpeg_compress_struct info {};
    unsigned char* out { nullptr };
    unsigned long outSize { 0 };
    bool created { false };

    Compressor() { info.err = errors.Manager(); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
    ~Compressor()
    {
        if (created)
            jpeg_destroy_compress(&info);
        std::free(out); // jpeg_mem_dest's buffer, the library's malloc
    }
};

} // namespace

std::vector<uint8_t> EncodeJpeg(const ImageBuffer& image, int32_t quality, const std::vector<uint8_t>& icc)
{
    quality = std::clamp(quality, 1, 100);
    // Full-resolution chroma only where the quality asked for is high enough to show it.
    const int lumaSampling = quality >= 90 ? 1 : 2;
    // The settings of TurboJPEG's compressor, which this encoder replaced, so that the pictures
    // stay the same to the byte: its quantisation tables, the fast integer DCT below quality 96,
    // standard Huffman tables, a JFIF header.
    Compressor c;
    JSAMPROW rows[16];
    const bool encoded = c.errors.Run([&] {
        jpeg_create_compress(&c.info);
        c.created = true;
        jpeg_mem_dest(&c.info, &c.out, &c.outSize);
        c.info.image_width = JDIMENSION(image.width);
        c.info.image_height = JDIMENSION(image.height);
        c.info.input_components = 4;
        c.info.in_color_space = JCS_EXT_RGBX;
        jpeg_set_defaults(&c.info);
        jpeg_set_quality(&c.info, quality, TRUE);
        c.info.dct_method = quality >= 96 ? JDCT_ISLOW : JDCT_IFAST;
        jpeg_set_colorspace(&c.info, JCS_YCbCr);
        c.info.comp_info[0].h_samp_factor = c.info.comp_info[0].v_samp_factor = lumaSampling;
        for (int i = 1; i < 3; ++i)
            c.info.comp_info[i].h_samp_factor = c.info.comp_info[i].v_samp_factor = 1;
        jpeg_start_compress(&c.info, TRUE);
        // Right after the JFIF header; a profile beyond what 255 markers hold is left out and
        // the pixels stand without it.
        if (!icc.empty() && icc.size() <= 255 * IccChunkMax)
            jpeg_write_icc_profile(&c.info, icc.data(), unsigned(icc.size()));
        while (c.info.next_scanline < c.info.image_height) {
            const JDIMENSION first = c.info.next_scanline;
            const JDIMENSION count = std::min<JDIMENSION>(16, c.info.image_height - first);
            for (JDIMENSION i = 0; i < count; ++i)
                rows[i] = const_cast<JSAMPROW>(image.row(int32_t(first + i)));
            jpeg_write_scanlines(&c.info, rows, count);
        }
        jpeg_finish_compress(&c.info);
    });
    if (!encoded)
        throw ImageCodecError("The JPEG file cannot be encoded: " + c.errors.LibraryText());
    return std::vector<uint8_t>(c.out, c.out + c.outSize);
}
