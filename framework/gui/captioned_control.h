#pragma once

// A control whose widget shows one caption: a push button's, a check box's or a radio button's
// text, or a group box's title.

#include "framework/gui/control.h"

class CaptionedControl : public RectControl {
public:
    // An ampersand shows as itself, never as a keyboard mnemonic.
    String Caption() const;
    void Caption(const String& value);

protected:
    using RectControl::RectControl;
};
