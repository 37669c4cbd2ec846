#pragma once

// A picture's new size from the resize settings: proportional, independent or box.

#include "engine/run_settings.h"

#include <cstdint>

struct NewSize {
    int32_t width { 0 };
    int32_t height { 0 };
    friend bool operator==(const NewSize&, const NewSize&) = default;
};

// The size a picture of `width` x `height` is written at. Each setting is read from `settings`
// when it is used. The values come as computed: a side may be below 1, and the caller decides
// what to make of that.
NewSize ComputeNewSize(int32_t width, int32_t height, const SettingsReader& settings);
