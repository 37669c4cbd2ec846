#pragma once

// A window whose building hooks a test fills in, and a helper that places a control on it the
// way the program's windows do: create, register, apply the design list.

#include "framework/gui/design_properties.h"
#include "framework/gui/runtime.h"
#include "framework/gui/window.h"
#include "tests/support/design_head.h"

#include <functional>

class TestWindow : public Window {
public:
    explicit TestWindow(String className = "Test.Window")
        : m_className(std::move(className))
    {
    }
    String ClassName() const override { return m_className; }

    std::function<void(TestWindow&)> layout, createControls;
    std::function<void(Window&)> addMenuHandlers;

protected:
    void Layout() override
    {
        if (layout)
            layout(*this);
    }
    void CreateControls() override
    {
        if (createControls)
            createControls(*this);
    }
    void AddMenuHandlers(Window& window) override
    {
        if (addMenuHandlers)
            addMenuHandlers(window);
    }

private:
    String m_className;
};

template<class C>
Ref<C> Place(Window& window, const String& name, const String& designList)
{
    Ref<C> control = window.New<C>();
    window.AddControl(name, control);
    control->SetProperties(designList);
    return control;
}

// Each test may quit; the next one starts afresh.
struct QuitReset {
    ~QuitReset() { Seams::ResetQuitState(); }
};
