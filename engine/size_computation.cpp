// A picture's new size from the window's settings, read afresh at each use.
#include "engine/size_computation.h"

#include "framework/core/text.h"

namespace {

int32_t Int(double value)
{
    return RuntimeCvtReal64ToSInt32(value);
}

// A product of two sides as a double: taken in 64 bits, because a product wrapped at 32 bits
// would be a plainly wrong size.
double Product(int32_t a, int32_t b)
{
    return static_cast<double>(static_cast<int64_t>(a) * static_cast<int64_t>(b));
}

double Dbl(int32_t value)
{
    return static_cast<double>(value);
}

// Each double operation is its own statement, so every intermediate result is a double and the
// order is the formula's: nothing is fused or kept at a higher precision.
int32_t Scaled(int32_t fixedSide, int32_t otherSide, int32_t dividingSide)
{
    const double product = Product(fixedSide, otherSide);
    const double quotient = product / Dbl(dividingSide);
    return Int(quotient);
}

int32_t Percent(int32_t side, double percent)
{
    const double product = Dbl(side) * percent;
    const double quotient = product / 100.0;
    return Int(quotient);
}

NewSize proportional(int32_t w, int32_t h, const SettingsReader& settings)
{
    int32_t basis = settings().sizeBasis;
    // A basis the popup does not offer (no row selected) counts as the first row.
    if (basis < 0 || basis > 4)
        basis = 0;
    if (basis == 4) {
        // The wanted size is read once for each side it scales.
        const int32_t nw = Percent(w, Val(settings().wantedSize));
        const int32_t nh = Percent(h, Val(settings().wantedSize));
        return { nw, nh };
    }
    const int32_t p = Int(Val(settings().wantedSize));
    bool widthRule = false;
    switch (basis) {
    case 0: widthRule = h < w; break;
    case 1: widthRule = w < h; break;
    case 2: widthRule = true; break;
    default: widthRule = false; break;
    }
    if (widthRule)
        return { p, Scaled(p, h, w) };
    return { Scaled(p, w, h), p };
}

NewSize independent(int32_t w, int32_t h, const SettingsReader& settings)
{
    NewSize size;
    if (settings().widthUnit == 0)
        size.width = Int(Val(settings().independentWidth));
    else
        size.width = Percent(w, Val(settings().independentWidth));
    if (settings().heightUnit == 0)
        size.height = Int(Val(settings().independentHeight));
    else
        size.height = Percent(h, Val(settings().independentHeight));
    return size;
}

NewSize box(int32_t w, int32_t h, const SettingsReader& settings)
{
    const double rh = Dbl(h) / Val(settings().boxHeight);
    const double rw = Dbl(w) / Val(settings().boxWidth);
    NewSize size;
    if (rh < rw) {
        size.width = Int(Val(settings().boxWidth));
        size.height = Scaled(size.width, h, w);
    } else {
        size.height = Int(Val(settings().boxHeight));
        const double quotient = Dbl(size.height) / Dbl(h);
        const double product = quotient * Dbl(w);
        size.width = Int(product);
    }
    return size;
}

} // namespace

NewSize ComputeNewSize(int32_t width, int32_t height, const SettingsReader& settings)
{
    NewSize size;
    if (settings().proportional)
        size = proportional(width, height, settings);
    else if (settings().independent)
        size = independent(width, height, settings);
    else
        size = box(width, height, settings);

    if (!settings().increase) {
        if (width < size.width)
            size.width = width;
        if (height < size.height)
            size.height = height;
    }
    return size;
}
