#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// The taps of a separable Lanczos3 filter along one axis: for every output position of a window
// of the grid, the first source index it reads and a weight for each tap, padded to a common
// count so that the filtering loops have a fixed shape. Widened by the scale factor when
// shrinking, so that it also removes what the smaller grid cannot hold.
struct FilterWeights {
    // What the taps are made from: `length` source samples from `start` (of `sourceLength`) onto
    // `gridLength` outputs, of which the window from `windowStart` is computed.
    struct Key {
        int32_t sourceLength { 0 };
        double start { 0 };
        double length { 0 };
        int32_t gridLength { 0 };
        int32_t windowStart { 0 };
        int32_t windowLength { 0 };
        friend bool operator==(const Key&, const Key&) = default;
    };

    // The taps for `key`, made once for a run of pictures of the same size onto the same grid.
    // Any thread may ask.
    static std::shared_ptr<const FilterWeights> For(const Key& key);

    int32_t taps { 0 };
    int32_t stride { 0 };           // taps rounded up to whole groups of eight
    std::vector<int32_t> first;     // first source index per output
    std::vector<float> weights;     // `stride` per output, zero beyond the taps
    // Per output, the taps two by two, each weight spread over the four floats of a pixel: eight
    // floats a pair.
    std::vector<float> pairWeights;
    int32_t minIndex { 0 };         // smallest and one past the largest source index used
    int32_t endIndex { 0 };

    int32_t Pairs() const { return (taps + 1) / 2; }
};
