#pragma once

// The engine instance's class on the main window, apart from main.h so that the window's header
// and the engine's include no one another.

#include "engine/threadrun.h"
#include "main_window/main.h"

class Main::threadrun1_ final : public ::threadrun, public PaneChild {
public:
    threadrun1_() = default;

    int32_t Index { 0 };

    void SetWindow(const Ref<::Window>& window) override { m_ownerWindow = window; }
    Ref<::Window> Window() override { return m_ownerWindow; }
    int32_t Index_() override { return Index; }
    void SetIndex(int32_t index) override { Index = index; }

private:
    Ref<::Window> m_ownerWindow;
};
