#include "framework/image_resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One pixel as four floats; GCC and Clang turn arithmetic on it into SIMD instructions.
using v4f = float __attribute__((vector_size(16)));

constexpr double Lobes = 3.0;

double lanczos3(double x)
{
    x = std::fabs(x);
    if (x < 1e-9)
        return 1.0;
    if (x >= Lobes)
        return 0.0;
    const double px = M_PI * x;
    return Lobes * std::sin(px) * std::sin(px / Lobes) / (px * px);
}

// The filter taps of every output position of one axis, padded to a common count so that the
// inner loops have a fixed shape.
struct AxisWeights {
    int32_t taps { 0 };
    std::vector<int32_t> first;   // first source index per output
    std::vector<float> weights;   // taps per output, zero-padded
    int32_t minIndex { 0 };       // smallest and one past the largest source index used
    int32_t endIndex { 0 };
};

AxisWeights axisWeights(int32_t sourceLength, double start, double length, int32_t gridLength, int32_t windowStart,
    int32_t windowLength)
{
    AxisWeights a;
    const double scale = length / gridLength;
    const double filterScale = std::max(scale, 1.0);
    const double support = Lobes * filterScale;
    a.taps = int32_t(std::ceil(support * 2.0)) + 2;
    a.taps = std::min(a.taps, sourceLength);
    a.first.resize(size_t(windowLength));
    a.weights.assign(size_t(windowLength) * size_t(a.taps), 0.0f);
    a.minIndex = sourceLength;
    a.endIndex = 0;
    std::vector<double> w(size_t(a.taps));
    for (int32_t i = 0; i < windowLength; ++i) {
        const double centre = start + (windowStart + i + 0.5) * scale;
        int32_t lo = int32_t(std::floor(centre - support));
        int32_t hi = int32_t(std::ceil(centre + support));
        lo = std::max(lo, 0);
        hi = std::min(hi, sourceLength);
        // Taps beyond the picture's edge are dropped and the rest renormalised, so the edge is
        // neither darkened nor smeared.
        if (hi - lo > a.taps) {
            // Trim symmetrically: the outermost taps carry (near) zero weight.
            const int32_t excess = hi - lo - a.taps;
            lo += excess / 2;
            hi = lo + a.taps;
        }
        if (hi <= lo) {
            lo = std::clamp(int32_t(centre), 0, sourceLength - 1);
            hi = lo + 1;
        }
        double sum = 0.0;
        for (int32_t j = lo; j < hi; ++j) {
            w[size_t(j - lo)] = lanczos3((j + 0.5 - centre) / filterScale);
            sum += w[size_t(j - lo)];
        }
        if (std::fabs(sum) < 1e-12) {
            // Only possible far outside the picture: take the nearest pixel.
            std::fill(w.begin(), w.end(), 0.0);
            lo = std::clamp(int32_t(centre), 0, sourceLength - 1);
            hi = lo + 1;
            w[0] = sum = 1.0;
        }
        // Keep the window inside the source so that a padded tap never reads past the end.
        int32_t firstIndex = std::min(lo, sourceLength - a.taps);
        float* out = &a.weights[size_t(i) * size_t(a.taps)];
        for (int32_t j = lo; j < hi; ++j)
            out[j - firstIndex] = float(w[size_t(j - lo)] / sum);
        a.first[size_t(i)] = firstIndex;
        a.minIndex = std::min(a.minIndex, firstIndex);
        a.endIndex = std::max(a.endIndex, firstIndex + a.taps);
    }
    return a;
}

// Converts source pixels [from, to) of one row to floats, premultiplied by alpha.
void loadRow(const PixelView& view, int32_t y, int32_t from, int32_t to, v4f* out)
{
    const uint8_t* p = view.data + ptrdiff_t(y) * view.stride + ptrdiff_t(from) * 4;
    const int32_t n = to - from;
    const int r = view.bgra ? 2 : 0;
    const int b = view.bgra ? 0 : 2;
    if (!view.hasAlpha) {
        for (int32_t i = 0; i < n; ++i, p += 4)
            out[i] = v4f { float(p[r]), float(p[1]), float(p[b]), 255.0f };
        return;
    }
    for (int32_t i = 0; i < n; ++i, p += 4) {
        const float a = float(p[3]);
        const float k = a * (1.0f / 255.0f);
        out[i] = v4f { float(p[r]) * k, float(p[1]) * k, float(p[b]) * k, a };
    }
}

void filterRow(const v4f* in, int32_t inOffset, const AxisWeights& a, v4f* out)
{
    const int32_t n = int32_t(a.first.size());
    const int32_t taps = a.taps;
    for (int32_t i = 0; i < n; ++i) {
        const v4f* src = in + (a.first[size_t(i)] - inOffset);
        const float* w = &a.weights[size_t(i) * size_t(taps)];
        v4f acc0 {}, acc1 {};
        int32_t k = 0;
        for (; k + 1 < taps; k += 2) {
            acc0 += src[k] * w[k];
            acc1 += src[k + 1] * w[k + 1];
        }
        if (k < taps)
            acc0 += src[k] * w[k];
        out[i] = acc0 + acc1;
    }
}

uint8_t toByte(float v)
{
    v = std::clamp(v, 0.0f, 255.0f);
    return uint8_t(v + 0.5f);
}

} // namespace

std::shared_ptr<ImageBuffer> ResampleLanczos3(const PixelView& view, SourceRect sourceRect, int32_t gridWidth,
    int32_t gridHeight, PixelRect window)
{
    auto result = std::make_shared<ImageBuffer>();
    result->width = window.width;
    result->height = window.height;
    result->hasAlpha = view.hasAlpha;
    result->pixels.resize(size_t(window.width) * size_t(window.height) * 4);
    if (window.Empty() || view.width <= 0 || view.height <= 0)
        return result;

    const AxisWeights h = axisWeights(view.width, sourceRect.x, sourceRect.width, gridWidth, window.x, window.width);
    const AxisWeights v = axisWeights(view.height, sourceRect.y, sourceRect.height, gridHeight, window.y, window.height);

    // Horizontally filtered rows in a ring: each source row is filtered once, and only as many
    // are kept as the vertical filter spans.
    const int32_t ringSize = v.taps;
    std::vector<v4f> ring(size_t(ringSize) * size_t(window.width));
    std::vector<int32_t> ringRow(size_t(ringSize), -1);
    std::vector<v4f> loaded(size_t(h.endIndex - h.minIndex));
    std::vector<v4f> acc(size_t(window.width));
    const v4f* rows[256];
    std::vector<const v4f*> rowsHeap;
    const v4f** rowPtr = rows;
    if (ringSize > 256) {
        rowsHeap.resize(size_t(ringSize));
        rowPtr = rowsHeap.data();
    }

    for (int32_t oy = 0; oy < window.height; ++oy) {
        const int32_t first = v.first[size_t(oy)];
        for (int32_t k = 0; k < v.taps; ++k) {
            const int32_t sy = first + k;
            const int32_t slot = sy % ringSize;
            v4f* dst = &ring[size_t(slot) * size_t(window.width)];
            if (ringRow[size_t(slot)] != sy) {
                loadRow(view, sy, h.minIndex, h.endIndex, loaded.data());
                filterRow(loaded.data(), h.minIndex, h, dst);
                ringRow[size_t(slot)] = sy;
            }
            rowPtr[k] = dst;
        }
        const float* w = &v.weights[size_t(oy) * size_t(v.taps)];
        std::fill(acc.begin(), acc.end(), v4f {});
        for (int32_t k = 0; k < v.taps; ++k) {
            const float wk = w[k];
            if (wk == 0.0f)
                continue;
            const v4f* src = rowPtr[k];
            for (int32_t x = 0; x < window.width; ++x)
                acc[size_t(x)] += src[x] * wk;
        }
        uint8_t* out = result->row(oy);
        if (!view.hasAlpha) {
            for (int32_t x = 0; x < window.width; ++x, out += 4) {
                const v4f p = acc[size_t(x)];
                out[0] = toByte(p[0]);
                out[1] = toByte(p[1]);
                out[2] = toByte(p[2]);
                out[3] = 255;
            }
            continue;
        }
        for (int32_t x = 0; x < window.width; ++x, out += 4) {
            const v4f p = acc[size_t(x)];
            const float a = std::clamp(p[3], 0.0f, 255.0f);
            const float k = a > 0.0f ? 255.0f / a : 0.0f;
            out[0] = toByte(p[0] * k);
            out[1] = toByte(p[1] * k);
            out[2] = toByte(p[2] * k);
            out[3] = toByte(a);
        }
    }
    return result;
}
