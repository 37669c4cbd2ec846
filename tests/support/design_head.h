#pragma once

// The head of a visual control's design list, written out as the lists carry it, for tests that
// build a list by hand.

#include "framework/gui/design_properties.h"

inline DesignList HeadList(const DesignTypeOf& types, const String& name, int32_t left, int32_t top, int32_t width,
    int32_t height)
{
    DesignList list(types);
    list.Text("Name", name).Integer("Index", kNoIndex).Integer("Left", left).Integer("Top", top);
    list.Integer("Width", width).Integer("Height", height).Boolean("LockLeft", true).Boolean("LockTop", true);
    list.Boolean("LockRight", false).Boolean("LockBottom", false).Integer("TabPanelIndex", 0);
    return list;
}
