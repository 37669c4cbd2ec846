#pragma once

// A window class with an implicit instance, as the program's windows have: the class's open
// window, found by the class's name `Self::kClassName`, or else a new one built and opened.

#include "framework/gui/window.h"

template<class Self>
class ImplicitWindow : public Window {
public:
    // The open window of this class, built and opened when there is none; never nil. Only the
    // list of open windows records it, so a window closed and asked for again is built afresh.
    static Ref<Self> instance()
    {
        if (auto open = GetImplicitWindow(Self::kClassName).template As<Self>())
            return open;
        auto window = MakeRef<Self>();
        window->Constructor();
        return window;
    }

    String ClassName() const override { return Self::kClassName; }
};
