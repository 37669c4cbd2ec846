// The Lanczos3 resampler, separable (the vertical pass first), alpha-weighted and vectorized, for
// RGBA pixels and for a decoder's planes.
#include "framework/image/resample.h"

#include "framework/image/filter_weights.h"
#include "framework/image/vertical_pass.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>
#include <immintrin.h>
#include <vector>

namespace {

// The filtering loops are built for any x86-64, for processors with AVX2 and FMA and for those
// with AVX-512, and the best one is picked when the program loads: a fused multiply-add nearly
// halves their time. They work on eight floats at a time, which every one of these builds keeps in
// registers (wider vectors are split into SSE code where AVX-512 is missing, and run slower).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define FILTER_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define FILTER_CLONES
#endif

// One pixel's four bytes, already widened to floats, in RGBA order and premultiplied by alpha.
template<bool Alpha, bool Bgra>
FILTER_INLINE v4f finishPixel(__m128i words)
{
    using v4i = int32_t __attribute__((vector_size(16)));
    v4f pixel = v4f(_mm_cvtepi32_ps(words));
    if constexpr (Bgra)
        pixel = __builtin_shuffle(pixel, v4i { 2, 1, 0, 3 });
    if constexpr (!Alpha) {
        pixel[3] = 255.0f;
    } else {
        const float k = pixel[3] * (1.0f / 255.0f);
        pixel *= v4f { k, k, k, 1.0f };
    }
    return pixel;
}

template<bool Alpha, bool Bgra>
FILTER_INLINE void loadPixels(const uint8_t* p, int32_t n, v4f* out)
{
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
    for (; i + 4 <= n; i += 4, p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
        out[i] = finishPixel<Alpha, Bgra>(_mm_unpacklo_epi16(low, zero));
        out[i + 1] = finishPixel<Alpha, Bgra>(_mm_unpackhi_epi16(low, zero));
        out[i + 2] = finishPixel<Alpha, Bgra>(_mm_unpacklo_epi16(high, zero));
        out[i + 3] = finishPixel<Alpha, Bgra>(_mm_unpackhi_epi16(high, zero));
    }
    for (; i < n; ++i, p += 4) {
        int32_t packed;
        std::memcpy(&packed, p, 4);
        const __m128i words = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(packed), zero), zero);
        out[i] = finishPixel<Alpha, Bgra>(words);
    }
}

// Converts source pixels [from, to) of one row to floats, premultiplied by alpha. False when the
// row source could not make the row.
FILTER_INLINE bool loadRow(const PixelView& view, int32_t y, int32_t from, int32_t to, v4f* out) noexcept
{
    const uint8_t* row = view.rows ? view.rows->Row(y) : view.data + ptrdiff_t(y) * view.stride;
    if (!row)
        return false;
    const uint8_t* p = row + ptrdiff_t(from) * 4;
    const int32_t n = to - from;
    if (view.hasAlpha)
        view.bgra ? loadPixels<true, true>(p, n, out) : loadPixels<true, false>(p, n, out);
    else
        view.bgra ? loadPixels<false, true>(p, n, out) : loadPixels<false, false>(p, n, out);
    return true;
}

// The horizontal filter of an RGBA row: `in` holds the pixels from the axis' smallest index on,
// with one spare pixel after the last, so that the last pair of an odd tap count may read it (its
// weight is zero).
FILTER_INLINE void filterPixels(const v4f* in, const FilterWeights& a, v4f* out)
{
    const int32_t n = int32_t(a.first.size());
    const int32_t pairs = a.Pairs();
    for (int32_t i = 0; i < n; ++i) {
        const v4f* src = in + (a.first[size_t(i)] - a.minIndex);
        const float* w = &a.pairWeights[size_t(i) * size_t(pairs) * 8];
        // Two independent sums, so that the multiply-adds do not wait on one another.
        v8f acc0 {}, acc1 {};
        int32_t p = 0;
        for (; p + 1 < pairs; p += 2) {
            v8f s0, s1, w0, w1;
            std::memcpy(&s0, src + 2 * p, sizeof s0);
            std::memcpy(&s1, src + 2 * p + 2, sizeof s1);
            std::memcpy(&w0, w + 8 * p, sizeof w0);
            std::memcpy(&w1, w + 8 * p + 8, sizeof w1);
            acc0 += s0 * w0;
            acc1 += s1 * w1;
        }
        if (p < pairs) {
            v8f s0, w0;
            std::memcpy(&s0, src + 2 * p, sizeof s0);
            std::memcpy(&w0, w + 8 * p, sizeof w0);
            acc0 += s0 * w0;
        }
        const v8f sum = acc0 + acc1;
        out[i] = v4f { sum[0], sum[1], sum[2], sum[3] } + v4f { sum[4], sum[5], sum[6], sum[7] };
    }
}

FILTER_INLINE uint8_t toByte(float v)
{
    v = std::clamp(v, 0.0f, 255.0f);
    return uint8_t(v + 0.5f);
}

// One filtered pixel back to straight-alpha bytes.
FILTER_INLINE void storePixel(v4f p, bool hasAlpha, uint8_t* out)
{
    if (!hasAlpha) {
        out[0] = toByte(p[0]);
        out[1] = toByte(p[1]);
        out[2] = toByte(p[2]);
        out[3] = 255;
        return;
    }
    const float a = std::clamp(p[3], 0.0f, 255.0f);
    const float k = a > 0.0f ? 255.0f / a : 0.0f;
    out[0] = toByte(p[0] * k);
    out[1] = toByte(p[1] * k);
    out[2] = toByte(p[2] * k);
    out[3] = toByte(a);
}

// Source pixels [from, to) of an RGBA row as floats, premultiplied by alpha.
struct RgbaRows {
    const PixelView& view;
    int32_t from;
    int32_t to;
    FILTER_INLINE bool operator()(int32_t y, float* out) const noexcept
    {
        return loadRow(view, y, from, to, reinterpret_cast<v4f*>(out));
    }
};

// False when the row source failed; it then holds the reason.
FILTER_CLONES bool resampleRgba(const PixelView& view, VerticalPass<4>& pass, PixelRect window, ImageBuffer* result,
    v4f* filtered) noexcept
{
    const RgbaRows load { view, pass.h.minIndex, pass.h.endIndex };
    for (int32_t oy = 0; oy < window.height; ++oy) {
        const float* row = pass.Row(oy, load);
        if (!row)
            return false;
        filterPixels(reinterpret_cast<const v4f*>(row), pass.h, filtered);
        uint8_t* out = result->row(oy);
        for (int32_t x = 0; x < window.width; ++x, out += 4)
            storePixel(filtered[x], view.hasAlpha, out);
    }
    return true;
}

// Bytes to floats eight at a time where the processor can (the plain SSE2 way takes three times
// the instructions); a separate function, since only it may use AVX2 whatever the build.
[[gnu::target("avx2")]] void bytesToFloatsAvx2(const uint8_t* in, float* out, int32_t n)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + i));
        _mm256_storeu_ps(out + i, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes)));
    }
    for (; i < n; ++i)
        out[i] = float(in[i]);
}

const bool haveAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();

// Source samples [from, to) of a plane row as floats.
struct PlaneSamples {
    const PlaneView& plane;
    int32_t from;
    int32_t to;
    FILTER_INLINE bool operator()(int32_t y, float* out) const noexcept
    {
        const uint8_t* row = plane.rows ? plane.rows->Row(y) : plane.data + ptrdiff_t(y) * plane.stride;
        if (!row)
            return false;
        row += from;
        const int32_t n = to - from;
        if (haveAvx2) {
            bytesToFloatsAvx2(row, out, n);
            return true;
        }
        const __m128i zero = _mm_setzero_si128();
        int32_t i = 0;
        for (; i + 16 <= n; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
            const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
            _mm_storeu_ps(out + i, _mm_cvtepi32_ps(_mm_unpacklo_epi16(low, zero)));
            _mm_storeu_ps(out + i + 4, _mm_cvtepi32_ps(_mm_unpackhi_epi16(low, zero)));
            _mm_storeu_ps(out + i + 8, _mm_cvtepi32_ps(_mm_unpacklo_epi16(high, zero)));
            _mm_storeu_ps(out + i + 12, _mm_cvtepi32_ps(_mm_unpackhi_epi16(high, zero)));
        }
        for (; i < n; ++i)
            out[i] = float(row[i]);
        return true;
    }
};

// One output sample of a plane: its taps, eight at a time, summed into eight partial sums.
FILTER_INLINE v8f partialSums(const float* in, const FilterWeights& a, int32_t i)
{
    const float* src = in + (a.first[size_t(i)] - a.minIndex);
    const float* w = &a.weights[size_t(i) * size_t(a.stride)];
    v8f sum {};
    for (int32_t k = 0; k < a.stride; k += 8) {
        v8f s, wk;
        std::memcpy(&s, src + k, sizeof s);
        std::memcpy(&wk, w + k, sizeof wk);
        sum += s * wk;
    }
    return sum;
}

using v8i = int32_t __attribute__((vector_size(32)));

// Lanes of two vectors added in pairs, then in quads: the steps of the transpose below. Inlined
// into each target's clone like every helper here that takes wide vectors by value: as a call,
// a clone built for AVX-512 would pass them to baseline code that expects them another way.
FILTER_INLINE v8f pairUp(v8f a, v8f b)
{
    return __builtin_shuffle(a, b, v8i { 0, 8, 1, 9, 4, 12, 5, 13 }) + __builtin_shuffle(a, b, v8i { 2, 10, 3, 11, 6, 14, 7, 15 });
}

FILTER_INLINE v8f quadUp(v8f a, v8f b)
{
    return __builtin_shuffle(a, b, v8i { 0, 1, 8, 9, 4, 5, 12, 13 }) + __builtin_shuffle(a, b, v8i { 2, 3, 10, 11, 6, 7, 14, 15 });
}

// The totals of eight vectors at once, by a transpose of additions: lane j holds the sum of s[j].
FILTER_INLINE v8f totals(const v8f* s)
{
    const v8f low = quadUp(pairUp(s[0], s[1]), pairUp(s[2], s[3]));
    const v8f high = quadUp(pairUp(s[4], s[5]), pairUp(s[6], s[7]));
    return __builtin_shuffle(low, high, v8i { 0, 1, 2, 3, 8, 9, 10, 11 })
        + __builtin_shuffle(low, high, v8i { 4, 5, 6, 7, 12, 13, 14, 15 });
}

// The horizontal filter of one plane's row: `in` holds the samples from the axis' smallest index
// on, followed by at least a group of zeros, so that every output reads whole groups of taps.
FILTER_INLINE void filterSamples(const float* in, const FilterWeights& a, float* out)
{
    const int32_t n = int32_t(a.first.size());
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        v8f sums[8];
        for (int32_t j = 0; j < 8; ++j)
            sums[j] = partialSums(in, a, i + j);
        const v8f eight = totals(sums);
        std::memcpy(out + i, &eight, sizeof eight);
    }
    for (; i < n; ++i) {
        const v8f sum = partialSums(in, a, i);
        const v4f half = v4f { sum[0], sum[1], sum[2], sum[3] } + v4f { sum[4], sum[5], sum[6], sum[7] };
        out[i] = (half[0] + half[2]) + (half[1] + half[3]);
    }
}

// One output row of filtered planes into RGBA bytes.
FILTER_INLINE void storeColours(const float* a, const float* b, const float* c, PlaneColours colours, int32_t n,
    uint8_t* out)
{
    for (int32_t x = 0; x < n; ++x, out += 4) {
        if (colours == PlaneColours::Grey) {
            out[0] = out[1] = out[2] = toByte(a[x]);
        } else if (colours == PlaneColours::Rgb) {
            out[0] = toByte(a[x]);
            out[1] = toByte(b[x]);
            out[2] = toByte(c[x]);
        } else {
            // JFIF's YCbCr, with the constants of libjpeg's own conversion.
            const float y = a[x], cb = b[x] - 128.0f, cr = c[x] - 128.0f;
            out[0] = toByte(y + 1.40200f * cr);
            out[1] = toByte(y - 0.34414f * cb - 0.71414f * cr);
            out[2] = toByte(y + 1.77200f * cb);
        }
        out[3] = 255;
    }
}

// The number of the plane whose row source failed, or -1.
FILTER_CLONES int32_t resamplePlanes(std::span<const PlaneView> planes, std::span<VerticalPass<1>> passes,
    PlaneColours colours, PixelRect window, ImageBuffer* result, float* filtered) noexcept
{
    const size_t width = size_t(window.width);
    for (int32_t oy = 0; oy < window.height; ++oy) {
        for (size_t p = 0; p < planes.size(); ++p) {
            VerticalPass<1>& pass = passes[p];
            const PlaneSamples load { planes[p], pass.h.minIndex, pass.h.endIndex };
            const float* row = pass.Row(oy, load);
            if (!row)
                return int32_t(p);
            filterSamples(row, pass.h, filtered + p * width);
        }
        // A grey picture's one plane stands for all three.
        const float* second = filtered + (planes.size() > 1 ? width : 0);
        const float* third = filtered + (planes.size() > 2 ? 2 * width : 0);
        storeColours(filtered, second, third, colours, window.width, result->row(oy));
    }
    return -1;
}

std::shared_ptr<ImageBuffer> emptyResult(PixelRect window, bool hasAlpha)
{
    auto result = std::make_shared<ImageBuffer>();
    result->width = window.width;
    result->height = window.height;
    result->hasAlpha = hasAlpha;
    result->pixels.resize(size_t(window.width) * size_t(window.height) * 4);
    return result;
}

} // namespace

std::shared_ptr<ImageBuffer> ResampleLanczos3(const PixelView& view, SourceRect sourceRect, int32_t gridWidth,
    int32_t gridHeight, PixelRect window)
{
    auto result = emptyResult(window, view.hasAlpha);
    if (window.Empty() || view.width <= 0 || view.height <= 0) {
        std::fill(result->pixels.begin(), result->pixels.end(), uint8_t(0));
        return result;
    }
    const auto h = FilterWeights::For({ view.width, sourceRect.x, sourceRect.width, gridWidth, window.x, window.width });
    const auto v = FilterWeights::For({ view.height, sourceRect.y, sourceRect.height, gridHeight, window.y, window.height });
    VerticalPass<4> pass(*h, *v);
    std::vector<v4f> filtered(size_t(window.width));
    if (!resampleRgba(view, pass, window, result.get(), filtered.data()))
        view.rows->RethrowFailure();
    return result;
}

std::shared_ptr<ImageBuffer> ResamplePlanes(std::span<const PlaneView> planes, PlaneColours colours, int32_t gridWidth,
    int32_t gridHeight, PixelRect window)
{
    auto result = emptyResult(window, false);
    const bool empty = std::any_of(planes.begin(), planes.end(), [](const PlaneView& p) { return p.width <= 0 || p.height <= 0; });
    if (window.Empty() || planes.empty() || empty) {
        std::fill(result->pixels.begin(), result->pixels.end(), uint8_t(0));
        return result;
    }
    std::vector<std::shared_ptr<const FilterWeights>> weights;
    std::vector<VerticalPass<1>> passes;
    passes.reserve(planes.size());
    for (const PlaneView& plane : planes) {
        const SourceRect& r = plane.rect;
        weights.push_back(FilterWeights::For({ plane.width, r.x, r.width, gridWidth, window.x, window.width }));
        weights.push_back(FilterWeights::For({ plane.height, r.y, r.height, gridHeight, window.y, window.height }));
        passes.emplace_back(*weights[weights.size() - 2], *weights.back());
    }
    std::vector<float> filtered(size_t(window.width) * planes.size());
    const int32_t failed = resamplePlanes(planes, passes, colours, window, result.get(), filtered.data());
    if (failed >= 0)
        planes[size_t(failed)].rows->RethrowFailure();
    return result;
}
