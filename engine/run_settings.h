#pragma once

#include "framework/core/text.h"

#include <cstdint>
#include <functional>

// The settings a run reads, as the main window's controls hold them: the size fields as typed,
// the popups by their row. The engine asks for them again at each use, so a change made while a
// run goes applies from the next use on.
struct RunSettings {
    // Proportional mode (the first mode button), else independent (the second), else box.
    bool proportional { true };
    bool independent { false };
    // 0 biggest side, 1 smallest side, 2 width, 3 height, 4 percent.
    int32_t sizeBasis { 0 };
    String wantedSize {};
    // 0 pixels, anything else percent.
    int32_t widthUnit { 0 };
    int32_t heightUnit { 0 };
    String independentWidth {}, independentHeight {};
    String boxWidth {}, boxHeight {};
    // True when a new side may exceed the picture's own side.
    bool increase { false };
    // The export format popup's row, the JPEG quality, and the two naming options.
    int32_t exportFormat { 0 };
    int32_t quality { 80 };
    bool webReady { false };
    bool dosFormat { false };
};

// Reads the settings at the moment of the call.
using SettingsReader = std::function<RunSettings()>;

// The settings as the main window's controls hold them now.
RunSettings ReadRunSettings();
