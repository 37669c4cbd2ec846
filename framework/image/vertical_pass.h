#pragma once

// The resampler's vertical pass, which it runs first; included by resample.cpp only, whose
// per-processor builds compile these loops each for their own instruction set.

#include "framework/image/filter_weights.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// One pixel as four floats; GCC and Clang turn arithmetic on it into SIMD instructions.
using v4f = float __attribute__((vector_size(16)));
// Two pixels side by side, or eight samples of a plane.
using v8f = float __attribute__((vector_size(32)));
// The same, anywhere in memory.
using v8fu = float __attribute__((vector_size(32), aligned(4), may_alias));

#define FILTER_INLINE [[gnu::always_inline]] inline

// The helpers below pass wide vectors by value; they are always inlined, so the calling
// convention that GCC warns about never applies.
#pragma GCC diagnostic ignored "-Wpsabi"

FILTER_INLINE v8f load8(const float* p)
{
    return *reinterpret_cast<const v8fu*>(p);
}

FILTER_INLINE void store8(float* p, v8f x)
{
    *reinterpret_cast<v8fu*>(p) = x;
}

// Filters the rows of a plane (`Channels` floats a pixel) vertically, one output row at a time,
// over the source columns the horizontal filter will read. Filtering vertically first puts the
// bulk of the work (the source's whole width, tap after tap) where it vectorizes best, every float
// of a row taking the same weight, and leaves the per-pixel weights of the horizontal filter the
// few output rows only.
//
// The source rows are taken once each, in order. Normally the last rows are kept, as many as an
// output row has taps, and each output row sums them ("gather"). When that would hold too much (a
// huge picture made tiny), each source row is instead multiplied-added into the sums of every
// output row it feeds as it comes ("scatter"), which holds only the few output rows still open
// but moves twice the data. Everything is allocated on construction, so that nothing inside the
// loops allocates or throws.
template<int Channels>
class VerticalPass {
public:
    VerticalPass(const FilterWeights& horizontal, const FilterWeights& vertical)
        : h(horizontal)
        , v(vertical)
        , m_rowFloats((h.endIndex - h.minIndex) * Channels)
        , m_blockFloats((m_rowFloats + kBlock - 1) / kBlock * kBlock)
        , m_gather(int64_t(v.taps) * (m_blockFloats + kRowPad) * int64_t(sizeof(float)) <= kGatherBytes)
        , m_slots(m_gather ? v.taps : openRowsAtMost(v))
        , m_rows(size_t(m_slots) * size_t(m_blockFloats + kRowPad), 0.0f)
        , m_held(size_t(m_slots), -1)
        , m_row(size_t(m_blockFloats + kRowPad), 0.0f)
        , m_feeds(size_t(std::max(m_slots, v.taps)))
        , m_nextRow(v.minIndex)
    {
    }

    // Output row `outputRow` (taken in increasing order), filtered vertically: the source columns
    // from h.minIndex on, then at least kRowPad zero floats. `load(y, floats)` converts source row
    // y and gives false when it could not be made; nil then.
    template<class Load>
    FILTER_INLINE const float* Row(int32_t outputRow, const Load& load) noexcept
    {
        return m_gather ? gather(outputRow, load) : scatter(outputRow, load);
    }

    const FilterWeights& h;
    const FilterWeights& v;

    // Rows are whole blocks of eight times eight floats, and have this many zero floats more:
    // the horizontal filter reads whole groups of taps.
    static constexpr int32_t kRowPad = 16;

private:
    static constexpr int32_t kBlock = 64;
    // Gathering holds a full tap's worth of source rows: up to this much.
    static constexpr int64_t kGatherBytes = int64_t(4) << 20;

    // A row that takes part in a sum, and its weight.
    struct Feed {
        float* floats;
        float weight;
    };

    float* slot(int32_t index) { return &m_rows[size_t(index) * size_t(m_blockFloats + kRowPad)]; }

    // How many output rows take a source row at once, at most.
    static int32_t openRowsAtMost(const FilterWeights& v)
    {
        int32_t most = 1;
        for (size_t lo = 0, hi = 0; hi < v.first.size(); ++hi) {
            while (v.first[lo] + v.taps <= v.first[hi])
                ++lo;
            most = std::max(most, int32_t(hi - lo + 1));
        }
        return most;
    }

    template<class Load>
    FILTER_INLINE const float* gather(int32_t outputRow, const Load& load) noexcept
    {
        const int32_t first = v.first[size_t(outputRow)];
        const float* weights = &v.weights[size_t(outputRow) * size_t(v.stride)];
        int32_t count = 0;
        for (int32_t k = 0; k < v.taps; ++k) {
            const int32_t sy = first + k;
            const int32_t index = sy % m_slots;
            float* floats = slot(index);
            if (m_held[size_t(index)] != sy) {
                if (!load(sy, floats))
                    return nullptr;
                m_held[size_t(index)] = sy;
            }
            if (weights[k] != 0.0f)
                m_feeds[size_t(count++)] = Feed { floats, weights[k] };
        }
        float* out = m_row.data();
        for (int32_t i = 0; i < m_blockFloats; i += kBlock) {
            // Eight sums of eight floats, named so that they stay in registers.
            v8f s0 {}, s1 {}, s2 {}, s3 {}, s4 {}, s5 {}, s6 {}, s7 {};
            for (int32_t k = 0; k < count; ++k) {
                const v8f w = v8f {} + m_feeds[size_t(k)].weight;
                const float* p = m_feeds[size_t(k)].floats + i;
                s0 += load8(p) * w;
                s1 += load8(p + 8) * w;
                s2 += load8(p + 16) * w;
                s3 += load8(p + 24) * w;
                s4 += load8(p + 32) * w;
                s5 += load8(p + 40) * w;
                s6 += load8(p + 48) * w;
                s7 += load8(p + 56) * w;
            }
            store8(out + i, s0);
            store8(out + i + 8, s1);
            store8(out + i + 16, s2);
            store8(out + i + 24, s3);
            store8(out + i + 32, s4);
            store8(out + i + 40, s5);
            store8(out + i + 48, s6);
            store8(out + i + 56, s7);
        }
        return out;
    }

    template<class Load>
    FILTER_INLINE const float* scatter(int32_t outputRow, const Load& load) noexcept
    {
        const int32_t outputs = int32_t(v.first.size());
        const int32_t last = v.first[size_t(outputRow)] + v.taps - 1;
        while (m_nextRow <= last) {
            const int32_t sy = m_nextRow++;
            if (!load(sy, m_row.data()))
                return nullptr;
            while (v.first[size_t(m_openFrom)] + v.taps <= sy)
                ++m_openFrom;
            // The output rows are in order, so those that this row opens (its first tap) come
            // last; a first tap sets the sums, so a slot needs no clearing before reuse.
            int32_t count = 0, adding = 0;
            for (int32_t o = m_openFrom; o < outputs && v.first[size_t(o)] <= sy; ++o) {
                const int32_t k = sy - v.first[size_t(o)];
                const float w = v.weights[size_t(o) * size_t(v.stride) + size_t(k)];
                if (k == 0 || w != 0.0f)
                    m_feeds[size_t(count++)] = Feed { slot(o % m_slots), w };
                if (k != 0 && w != 0.0f)
                    adding = count;
            }
            feed(adding, count);
        }
        return slot(outputRow % m_slots);
    }

    // Multiplies-adds the source row into the sums it feeds, block by block, so that each block
    // of it is read once.
    FILTER_INLINE void feed(int32_t adding, int32_t count) noexcept
    {
        const float* row = m_row.data();
        for (int32_t i = 0; i < m_blockFloats; i += kBlock) {
            const float* r = row + i;
            const v8f x0 = load8(r), x1 = load8(r + 8), x2 = load8(r + 16), x3 = load8(r + 24), x4 = load8(r + 32),
                      x5 = load8(r + 40), x6 = load8(r + 48), x7 = load8(r + 56);
            for (int32_t f = 0; f < adding; ++f) {
                const v8f w = v8f {} + m_feeds[size_t(f)].weight;
                float* s = m_feeds[size_t(f)].floats + i;
                store8(s, load8(s) + x0 * w);
                store8(s + 8, load8(s + 8) + x1 * w);
                store8(s + 16, load8(s + 16) + x2 * w);
                store8(s + 24, load8(s + 24) + x3 * w);
                store8(s + 32, load8(s + 32) + x4 * w);
                store8(s + 40, load8(s + 40) + x5 * w);
                store8(s + 48, load8(s + 48) + x6 * w);
                store8(s + 56, load8(s + 56) + x7 * w);
            }
            for (int32_t f = adding; f < count; ++f) {
                const v8f w = v8f {} + m_feeds[size_t(f)].weight;
                float* s = m_feeds[size_t(f)].floats + i;
                store8(s, x0 * w);
                store8(s + 8, x1 * w);
                store8(s + 16, x2 * w);
                store8(s + 24, x3 * w);
                store8(s + 32, x4 * w);
                store8(s + 40, x5 * w);
                store8(s + 48, x6 * w);
                store8(s + 56, x7 * w);
            }
        }
    }

    const int32_t m_rowFloats;
    const int32_t m_blockFloats;
    const bool m_gather;
    const int32_t m_slots;   // source rows held (gather) or output rows open at once (scatter)
    std::vector<float> m_rows;
    std::vector<int32_t> m_held; // gather: the source row in each slot
    std::vector<float> m_row;    // gather: the output row; scatter: the source row
    std::vector<Feed> m_feeds;
    int32_t m_nextRow;        // scatter: the next source row to take
    int32_t m_openFrom { 0 }; // scatter: the first output row still taking source rows
};
