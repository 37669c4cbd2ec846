#pragma once

#include <cstdint>

// The resize settings as the size computation asks for them. Each call reads its setting at that
// moment, so a window-backed implementation sees the controls as they stand for this picture.
class SizeSettings {
public:
    virtual ~SizeSettings() = default;

    // Proportional mode (the first radio button), else independent (the second), else box.
    virtual bool Proportional() const = 0;
    virtual bool Independent() const = 0;
    // 0 biggest side, 1 smallest side, 2 width, 3 height, 4 percent.
    virtual int32_t SizeBasis() const = 0;
    virtual double WantedSize() const = 0;
    // 0 pixels, anything else percent.
    virtual int32_t WidthUnit() const = 0;
    virtual int32_t HeightUnit() const = 0;
    virtual double IndependentWidth() const = 0;
    virtual double IndependentHeight() const = 0;
    virtual double BoxWidth() const = 0;
    virtual double BoxHeight() const = 0;
    // True when a new side may exceed the picture's own side.
    virtual bool Increase() const = 0;
};

// Settings held as plain values, for callers that already know them.
struct FixedSizeSettings final : SizeSettings {
    bool proportional { true };
    bool independent { false };
    int32_t sizeBasis { 0 };
    double wantedSize { 0 };
    int32_t widthUnit { 0 };
    int32_t heightUnit { 0 };
    double independentWidth { 0 };
    double independentHeight { 0 };
    double boxWidth { 0 };
    double boxHeight { 0 };
    bool increase { false };

    bool Proportional() const override { return proportional; }
    bool Independent() const override { return independent; }
    int32_t SizeBasis() const override { return sizeBasis; }
    double WantedSize() const override { return wantedSize; }
    int32_t WidthUnit() const override { return widthUnit; }
    int32_t HeightUnit() const override { return heightUnit; }
    double IndependentWidth() const override { return independentWidth; }
    double IndependentHeight() const override { return independentHeight; }
    double BoxWidth() const override { return boxWidth; }
    double BoxHeight() const override { return boxHeight; }
    bool Increase() const override { return increase; }
};

struct NewSize {
    int32_t width { 0 };
    int32_t height { 0 };
    friend bool operator==(const NewSize&, const NewSize&) = default;
};

// The size a picture of `width` x `height` is written at. The values come as computed: a side
// may be below 1, and the caller decides what to make of that.
NewSize ComputeNewSize(int32_t width, int32_t height, const SizeSettings& settings);
