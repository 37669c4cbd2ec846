#pragma once

#include "framework/gui/framework_key.h"

// The tests look at the framework's widgets and routing through the doors the framework uses.
struct FrameworkTestKey {
    static FrameworkKey Make() { return {}; }
};

inline FrameworkKey testKey()
{
    return FrameworkTestKey::Make();
}
