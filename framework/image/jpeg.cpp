// JPEG through libjpeg-turbo: reading the header, decoding to planes a band at a time, encoding.
#include "framework/image/jpeg.h"

#include "framework/image/jpeg_decompressor.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const char IccSignature[] = "ICC_PROFILE"; // followed by a NUL, a sequence number and a count
constexpr size_t IccHeaderSize = 14;
constexpr size_t IccChunkMax = 65533 - IccHeaderSize;

struct TjHandle {
    tjhandle h;
    explicit TjHandle(tjhandle handle) : h(handle) {}
    ~TjHandle()
    {
        if (h)
            tjDestroy(h);
    }
    TjHandle(const TjHandle&) = delete;
    TjHandle& operator=(const TjHandle&) = delete;
};

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
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    JpegScale best;
    for (int i = 0; factors && i < count; ++i) {
        const JpegScale s { factors[i].num, factors[i].denom };
        // Only 1/8, 1/4 and 1/2: libjpeg-turbo has SIMD code for those, and the odd eighths
        // truncate each block's spectrum so coarsely that a zone plate shows it (36.8 dB against
        // 40.2 dB at 1/2, for 6000 to 800 pixels).
        if (s.num != 1 || (s.denom != 1 && s.denom != 2 && s.denom != 4 && s.denom != 8))
            continue;
        if (s.Scaled(width) < minWidth || s.Scaled(height) < minHeight)
            continue;
        if (int64_t(s.num) * best.denom < int64_t(best.num) * s.denom)
            best = s;
    }
    return best;
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

std::vector<uint8_t> EncodeJpeg(const ImageBuffer& image, int32_t quality, const std::vector<uint8_t>& icc)
{
    TjHandle tj(tjInitCompress());
    if (!tj.h)
        throw ImageCodecError("The JPEG encoder could not start.");
    quality = std::clamp(quality, 1, 100);
    // Full-resolution chroma only where the quality asked for is high enough to show it.
    const int subsamp = quality >= 90 ? TJSAMP_444 : TJSAMP_420;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int failed = tjCompress2(tj.h, image.pixels.data(), image.width, image.width * 4, image.height, TJPF_RGBX,
        &out, &outSize, subsamp, quality, 0);
    const std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(out, &tjFree);
    if (failed != 0)
        throw ImageCodecError(std::string("The JPEG file cannot be encoded: ") + tjGetErrorStr2(tj.h));
    std::vector<uint8_t> file(out, out + outSize);
    if (icc.empty())
        return file;

    // The ICC profile goes in APP2 chunks right after the JFIF header.
    size_t insertAt = 2;
    if (file.size() > 6 && file[2] == 0xFF && file[3] == 0xE0)
        insertAt = 4 + (size_t(file[4]) << 8 | file[5]);
    std::vector<uint8_t> markers;
    const size_t chunks = (icc.size() + IccChunkMax - 1) / IccChunkMax;
    if (chunks > 255)
        return file; // no room for such a profile: the pixels stand without it
    for (size_t i = 0; i < chunks; ++i) {
        const size_t from = i * IccChunkMax;
        const size_t n = std::min(IccChunkMax, icc.size() - from);
        const size_t length = n + IccHeaderSize + 2;
        markers.insert(markers.end(), { 0xFF, 0xE2, uint8_t(length >> 8), uint8_t(length & 0xFF) });
        markers.insert(markers.end(), IccSignature, IccSignature + 12);
        markers.push_back(uint8_t(i + 1));
        markers.push_back(uint8_t(chunks));
        markers.insert(markers.end(), icc.begin() + ptrdiff_t(from), icc.begin() + ptrdiff_t(from + n));
    }
    file.insert(file.begin() + ptrdiff_t(insertAt), markers.begin(), markers.end());
    return file;
}
