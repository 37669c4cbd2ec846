// New sizes from every mode and basis, with the worked examples.
#include "engine/size_computation.h"

#include <gtest/gtest.h>

#include <charconv>

namespace {

// A size as the user would type it, in the fewest digits that give the same number back.
String typed(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return String(text, end);
}

RunSettings proportional(int32_t basis, double wanted, bool increase = false)
{
    RunSettings s;
    s.proportional = true;
    s.sizeBasis = basis;
    s.wantedSize = typed(wanted);
    s.increase = increase;
    return s;
}

RunSettings independent(double width, int32_t widthUnit, double height, int32_t heightUnit, bool increase = false)
{
    RunSettings s;
    s.proportional = false;
    s.independent = true;
    s.independentWidth = typed(width);
    s.widthUnit = widthUnit;
    s.independentHeight = typed(height);
    s.heightUnit = heightUnit;
    s.increase = increase;
    return s;
}

RunSettings box(double width, double height, bool increase = false)
{
    RunSettings s;
    s.proportional = false;
    s.independent = false;
    s.boxWidth = typed(width);
    s.boxHeight = typed(height);
    s.increase = increase;
    return s;
}

struct SizeCase {
    const char* what;
    int32_t width;
    int32_t height;
    RunSettings settings;
    NewSize expected;
};

constexpr int32_t kBiggest = 0, kSmallest = 1, kWidth = 2, kHeight = 3, kPercent = 4;

TEST(SizeComputation, EveryModeBasisAndUnit)
{
    const SizeCase cases[] = {
        // The worked examples.
        { "landscape, biggest side", 1600, 1200, proportional(kBiggest, 800), { 800, 600 } },
        { "portrait, biggest side", 1200, 1600, proportional(kBiggest, 800), { 600, 800 } },
        { "square, biggest side takes the height rule", 1000, 1000, proportional(kBiggest, 500), { 500, 500 } },
        { "landscape, smallest side", 1600, 1200, proportional(kSmallest, 600), { 800, 600 } },
        { "height basis cuts the fraction", 1600, 1200, proportional(kHeight, 400), { 533, 400 } },
        { "fractional percent", 1600, 1200, proportional(kPercent, 12.5), { 200, 150 } },
        { "independent percent width, pixel height", 1600, 1200, independent(50, 1, 300, 0), { 800, 300 } },
        { "box, width binds", 1600, 1200, box(800, 800), { 800, 600 } },
        { "box, equal ratios take the height branch", 1600, 1200, box(800, 600), { 800, 600 } },
        { "box, portrait", 1200, 1600, box(800, 800), { 600, 800 } },
        { "box, height branch quotient 219.99999999999997", 1200, 900, box(300, 165), { 219, 165 } },
        { "box larger than the picture, no increase", 1600, 1200, box(2000, 2000), { 1600, 1200 } },
        { "box larger than the picture, increase", 1600, 1200, box(2000, 2000, true), { 2000, 1500 } },
        { "independent, only the width limited", 800, 600, independent(1000, 0, 500, 0), { 800, 500 } },
        // Further cases.
        { "square, smallest side takes the height rule", 1000, 1000, proportional(kSmallest, 300), { 300, 300 } },
        { "portrait, smallest side", 1200, 1600, proportional(kSmallest, 600), { 600, 800 } },
        { "width basis", 1600, 1200, proportional(kWidth, 400), { 400, 300 } },
        { "pixel size with a fraction is cut first", 1600, 1200, proportional(kWidth, 800.7), { 800, 600 } },
        { "biggest side 800.7", 1600, 1200, proportional(kBiggest, 800.7), { 800, 600 } },
        { "very wide picture gives a height of 0", 4000, 10, proportional(kBiggest, 100), { 100, 0 } },
        { "1 percent of a 50-pixel side", 50, 50, proportional(kPercent, 1), { 0, 0 } },
        { "product beyond 2^31 does not wrap", 60000, 50000, proportional(kBiggest, 50000), { 50000, 41666 } },
        { "box product beyond 2^31 does not wrap", 60000, 50000, box(50000, 50000), { 50000, 41666 } },
        { "basis outside the popup counts as biggest side", 1600, 1200, proportional(-1, 800), { 800, 600 } },
        { "basis 5 counts as biggest side", 1200, 1600, proportional(5, 800), { 600, 800 } },
        { "any non-zero unit means percent", 1600, 1200, independent(25, 2, 50, -1), { 400, 600 } },
        { "independent sides ignore the proportions", 1600, 1200, independent(100, 0, 700, 0), { 100, 700 } },
        { "a side equal to the picture's stays", 800, 600, independent(800, 0, 600, 0), { 800, 600 } },
        { "increase lets a side grow", 800, 600, independent(1000, 0, 500, 0, true), { 1000, 500 } },
        { "percent above 100 is limited without increase", 100, 80, proportional(kPercent, 150), { 100, 80 } },
        { "percent above 100 with increase", 100, 80, proportional(kPercent, 150, true), { 150, 120 } },
        { "negative wanted size passes as computed", 1600, 1200, proportional(kBiggest, -800), { -800, -600 } },
        { "negative fraction cuts toward zero", 10, 10, independent(-0.5, 0, 0.9, 0), { 0, 0 } },
        { "box of 0 gives 0 x 0", 1600, 1200, box(0, 0), { 0, 0 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ComputeNewSize(c.width, c.height, [&c] { return c.settings; }), c.expected);
    }
}

// The settings are asked for at each use: the percent basis reads the wanted size once per side,
// so a change between the two reads applies to the second side.
TEST(SizeComputation, PercentReadsTheWantedSizeForEachSide)
{
    // Each read asks for 10 percent more than the one before.
    int reads = 0;
    const NewSize size = ComputeNewSize(1000, 1000, [&] { return proportional(kPercent, 10.0 * ++reads); });
    EXPECT_GT(size.width, 0);
    EXPECT_EQ(size.height, size.width + 100);
}

} // namespace
