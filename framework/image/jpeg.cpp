// JPEG through libjpeg-turbo: reading the header, decoding to planes a band at a time, encoding.
#include "framework/image/jpeg.h"

#include "framework/image/exif.h"

#include <turbojpeg.h>

#include <csetjmp>
#include <cstdio>
// libjpeg's headers need the types of <cstdio> first.
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace {

const char IccSignature[] = "ICC_PROFILE"; // followed by a NUL, a sequence number and a count
constexpr size_t IccHeaderSize = 14;
constexpr size_t IccChunkMax = 65533 - IccHeaderSize;

bool isFrameMarker(uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

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

// Decodes into `pixels` (width x height RGBA) and refuses data that ends before the picture
// does: libjpeg-turbo would make up the rest, so a header of a few hundred bytes could pass for
// a gigabyte of pixels. Other irregularities that decoders pass over (stray bytes before a
// marker, say) are passed over here too.
void decodeWhole(tjhandle tj, const uint8_t* data, size_t size, uint8_t* pixels, int32_t width, int32_t height)
{
    const auto decode = [&](int flags) {
        return tjDecompress2(tj, data, static_cast<unsigned long>(size), pixels, width, width * 4, height, TJPF_RGBA, flags) == 0;
    };
    if (decode(TJFLAG_STOPONWARNING))
        return;
    const bool warning = tjGetErrorCode(tj) == TJERR_WARNING;
    if (warning && std::strstr(tjGetErrorStr2(tj), "remature end"))
        throw ImageCodecError("The JPEG file is damaged: its data ends before its picture does.");
    if (!warning || (!decode(0) && tjGetErrorCode(tj) != TJERR_WARNING))
        throw ImageCodecError(std::string("The JPEG file cannot be decoded: ") + tjGetErrorStr2(tj));
}

} // namespace

JpegScan ScanJpegHeader(const uint8_t* data, size_t size, JpegHeader& header)
{
    if (size < 3)
        return size == 0 || data[0] == 0xFF ? JpegScan::NeedMore : JpegScan::NotJpeg;
    if (!LooksLikeJpeg(data, size))
        return JpegScan::NotJpeg;
    std::map<int, std::vector<uint8_t>> iccChunks;
    int iccCount = 0;
    bool iccBroken = false, haveOrientation = false, haveFrame = false;
    size_t pos = 2;
    for (;;) {
        if (pos >= size)
            return JpegScan::NeedMore;
        if (data[pos] != 0xFF)
            return JpegScan::NotJpeg;
        while (pos < size && data[pos] == 0xFF)
            ++pos; // fill bytes
        if (pos >= size)
            return JpegScan::NeedMore;
        const uint8_t marker = data[pos++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // stand-alone markers
        if (marker == 0xD9 || marker == 0x00)
            return JpegScan::NotJpeg;
        if (size - pos < 2)
            return JpegScan::NeedMore;
        const size_t length = size_t(data[pos]) << 8 | data[pos + 1];
        if (length < 2)
            return JpegScan::NotJpeg;
        if (size - pos < length)
            return JpegScan::NeedMore;
        const uint8_t* payload = data + pos + 2;
        const size_t payloadSize = length - 2;
        if (marker == 0xE1 && !haveOrientation && payloadSize >= 6 && std::memcmp(payload, "Exif\0\0", 6) == 0) {
            header.orientation = ExifOrientation(payload, payloadSize);
            haveOrientation = true;
        } else if (marker == 0xE2 && payloadSize > IccHeaderSize && std::memcmp(payload, IccSignature, 12) == 0) {
            const int seq = payload[12], count = payload[13];
            if (seq < 1 || seq > count || (iccCount && iccCount != count) || iccChunks.count(seq))
                iccBroken = true;
            iccCount = count;
            iccChunks[seq].assign(payload + IccHeaderSize, payload + payloadSize);
        } else if (isFrameMarker(marker)) {
            if (payloadSize < 6)
                return JpegScan::NotJpeg;
            header.height = int32_t(payload[1]) << 8 | payload[2];
            header.width = int32_t(payload[3]) << 8 | payload[4];
            header.components = payload[5];
            if (payloadSize < 6 + 3 * size_t(header.components))
                return JpegScan::NotJpeg;
            int maxH = 1, maxV = 1;
            for (int c = 0; c < header.components; ++c) {
                maxH = std::max(maxH, payload[7 + 3 * c] >> 4);
                maxV = std::max(maxV, payload[7 + 3 * c] & 15);
            }
            header.samples = 0;
            for (int c = 0; c < header.components; ++c) {
                const int64_t h = std::max(1, payload[7 + 3 * c] >> 4), v = std::max(1, payload[7 + 3 * c] & 15);
                header.samples += (int64_t(header.width) * h + maxH - 1) / maxH * ((int64_t(header.height) * v + maxV - 1) / maxV);
            }
            header.wholeFrame = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            haveFrame = true;
        } else if (marker == 0xDA) {
            if (!haveFrame || payloadSize < 1)
                return JpegScan::NotJpeg;
            header.wholeFrame = header.wholeFrame || payload[0] < header.components;
            header.headerEnd = pos + length;
            break;
        }
        pos += length;
    }
    if (!iccBroken && iccCount > 0 && int(iccChunks.size()) == iccCount) {
        for (auto& [seq, chunk] : iccChunks)
            header.icc.insert(header.icc.end(), chunk.begin(), chunk.end());
    }

    // Let the decoder itself judge the header: it knows which processes and precisions it reads.
    TjHandle tj(tjInitDecompress());
    if (!tj.h)
        return JpegScan::NotJpeg;
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.h, data, static_cast<unsigned long>(header.headerEnd), &w, &h, &subsamp, &colorspace) != 0
        || w < 1 || h < 1)
        return JpegScan::NotJpeg;
    header.width = w;
    header.height = h;
    header.cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
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
size_t checkBeforeDecoding(tjhandle tj, const uint8_t* data, size_t size, JpegScale scale, int32_t& sw, int32_t& sh)
{
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj, data, static_cast<unsigned long>(size), &w, &h, &subsamp, &colorspace) != 0)
        throw ImageCodecError(std::string("The JPEG file cannot be read: ") + tjGetErrorStr2(tj));
    // A file cut short lacks the end-of-image marker; whatever follows that marker (padding, a
    // video, another picture) is not part of the picture.
    JpegHeader header;
    if (ScanJpegHeader(data, size, header) != JpegScan::Done)
        throw ImageCodecError("The JPEG file is incomplete.");
    // A file that ends with the marker needs no walk: should its first picture end earlier
    // without a marker, the decoder finds its data cut short.
    size_t end = header.headerEnd;
    const bool endsWithMarker = size >= 2 && data[size - 2] == 0xFF && data[size - 1] == 0xD9;
    if (!endsWithMarker && !FindJpegEnd(data, size, end))
        throw ImageCodecError("The JPEG file is incomplete.");
    if (!endsWithMarker)
        size = end;
    // Two bytes per coefficient, whatever the scale: a header alone must not make the decoder
    // take more than the largest picture would.
    if (header.wholeFrame && header.samples * 2 > MaxImagePixels * 4)
        throw ImageCodecError("The picture is too large to open (" + std::to_string(w) + " x " + std::to_string(h)
            + " pixels).");
    sw = scale.Scaled(w);
    sh = scale.Scaled(h);
    if (int64_t(sw) * sh > MaxImagePixels)
        throw std::bad_alloc();
    if (int64_t(sw) * sh >= CoverageCheckPixels && scale.denom != 8) {
        const JpegScale eighth { 1, 8 };
        std::vector<uint8_t> check(size_t(eighth.Scaled(w)) * size_t(eighth.Scaled(h)) * 4);
        decodeWhole(tj, data, size, check.data(), eighth.Scaled(w), eighth.Scaled(h));
    }
    return size;
}

} // namespace

// libjpeg reports errors by a jump back into the call that met them; every call into it goes
// through run(), whose frame holds nothing that needs destroying. The decompressor is the
// state's own, so whatever throws once it is made (its start, the checks after it) gives back
// all it holds, a progressive frame's coefficients included.
struct JpegPlanes::State {
    jpeg_decompress_struct info {};
    struct Errors {
        jpeg_error_mgr manager {};
        std::jmp_buf jump {};
        char message[JMSG_LENGTH_MAX] {};
    } errors;
    bool created { false };

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }

    static void fail(j_common_ptr common)
    {
        auto* errors = reinterpret_cast<Errors*>(common->err);
        common->err->format_message(common, errors->message);
        std::longjmp(errors->jump, 1);
    }

    // Data that ends before the picture does is damage, not something to make up; other warnings
    // (stray bytes before a marker, say) are passed over, as the whole-picture decoding does.
    static void warn(j_common_ptr common, int level)
    {
        const int code = common->err->msg_code;
        if (level >= 0 || (code != JWRN_JPEG_EOF && code != JWRN_HIT_MARKER))
            return;
        auto* errors = reinterpret_cast<Errors*>(common->err);
        std::snprintf(errors->message, sizeof errors->message, "%s",
            "The JPEG file is damaged: its data ends before its picture does.");
        std::longjmp(errors->jump, 2);
    }

    template<class F>
    void run(F&& step)
    {
        const int jumped = setjmp(errors.jump);
        if (jumped == 0) {
            step();
            return;
        }
        if (jumped == 2)
            throw ImageCodecError(errors.message);
        throw ImageCodecError(std::string("The JPEG file cannot be decoded: ") + errors.message);
    }
};

JpegPlanes::JpegPlanes(FileBytes file, JpegScale scale, const std::atomic<bool>* stop)
    : m_stop(stop)
    , m_file(std::move(file))
    , m_state(std::make_unique<State>())
{
    size_t size = 0;
    {
        TjHandle tj(tjInitDecompress());
        if (!tj.h)
            throw ImageCodecError("The JPEG decoder could not start.");
        size = checkBeforeDecoding(tj.h, m_file.data(), m_file.size(), scale, m_width, m_height);
    }
    State& s = *m_state;
    s.info.err = jpeg_std_error(&s.errors.manager);
    s.errors.manager.error_exit = &State::fail;
    s.errors.manager.emit_message = &State::warn;
    const uint8_t* data = m_file.data();
    bool sizeMatches = false;
    s.run([&] {
        jpeg_create_decompress(&s.info);
        s.created = true;
        jpeg_mem_src(&s.info, data, static_cast<unsigned long>(size));
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
