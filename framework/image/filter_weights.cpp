// The taps of the Lanczos3 filter along one axis, made once for a run of pictures of one size.
#include "framework/image/filter_weights.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

namespace {

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

FilterWeights make(const FilterWeights::Key& key)
{
    FilterWeights a;
    const int32_t sourceLength = key.sourceLength;
    const double scale = key.length / key.gridLength;
    const double filterScale = std::max(scale, 1.0);
    const double support = Lobes * filterScale;
    a.taps = int32_t(std::ceil(support * 2.0)) + 1;
    a.taps = std::min(a.taps, sourceLength);
    a.stride = (a.taps + 7) / 8 * 8;
    a.first.resize(size_t(key.windowLength));
    a.weights.assign(size_t(key.windowLength) * size_t(a.stride), 0.0f);
    a.minIndex = sourceLength;
    a.endIndex = 0;
    std::vector<double> w(size_t(a.taps));
    for (int32_t i = 0; i < key.windowLength; ++i) {
        const double centre = key.start + (key.windowStart + i + 0.5) * scale;
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
        const int32_t firstIndex = std::min(lo, sourceLength - a.taps);
        float* out = &a.weights[size_t(i) * size_t(a.stride)];
        for (int32_t j = lo; j < hi; ++j)
            out[j - firstIndex] = float(w[size_t(j - lo)] / sum);
        a.first[size_t(i)] = firstIndex;
        a.minIndex = std::min(a.minIndex, firstIndex);
        a.endIndex = std::max(a.endIndex, firstIndex + a.taps);
    }
    const int32_t pairs = a.Pairs();
    a.pairWeights.resize(size_t(key.windowLength) * size_t(pairs) * 8);
    for (int32_t i = 0; i < key.windowLength; ++i) {
        const float* taps = &a.weights[size_t(i) * size_t(a.stride)];
        float* out = &a.pairWeights[size_t(i) * size_t(pairs) * 8];
        for (int32_t p = 0; p < pairs; ++p, out += 8) {
            std::fill(out, out + 4, taps[2 * p]);
            std::fill(out + 4, out + 8, 2 * p + 1 < a.taps ? taps[2 * p + 1] : 0.0f);
        }
    }
    return a;
}

} // namespace

std::shared_ptr<const FilterWeights> FilterWeights::For(const Key& key)
{
    // A picture's planes take an entry each per axis; the most recent is kept last.
    constexpr size_t kEntries = 12;
    static std::mutex mutex;
    static std::vector<std::pair<Key, std::shared_ptr<const FilterWeights>>> cache;
    {
        const std::lock_guard lock(mutex);
        const auto found = std::find_if(cache.begin(), cache.end(), [&](const auto& entry) { return entry.first == key; });
        if (found != cache.end()) {
            std::rotate(found, found + 1, cache.end());
            return cache.back().second;
        }
    }
    auto made = std::make_shared<const FilterWeights>(make(key));
    const std::lock_guard lock(mutex);
    if (cache.size() >= kEntries)
        cache.erase(cache.begin());
    cache.emplace_back(key, made);
    return made;
}
