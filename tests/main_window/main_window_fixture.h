#pragma once

// The main window as its tests meet it: beeps counted, and messages and addresses kept instead of
// shown; at the end a run still going is stopped (it would outlive the folders it writes into),
// then every window closes without the main window's closing work, which saves the preferences and
// quits: a test that wants them written writes them itself.

#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "main_window/main.h"
#include "main_window/threadrun1.h"
#include "tests/support/spin.h"

#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

// The main window's preferences file.
inline QString preferencesPath()
{
    return QString::fromStdString(SpecialFolder::Preferences()->Child("Quobly! preferences")->NativePath());
}

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Seams::SetBeep([this] { ++beeps; });
        Seams::SetMsgBox([this](const String& text) { messages.push_back(text); });
        Seams::SetShowURL([this](const String& url) { urls.push_back(url); });
    }

    void TearDown() override
    {
        if (engine && engine->IsRunning()) {
            if (window->IsOpen())
                window->endthread = true;
            EXPECT_TRUE(SpinUntil([this] { return !engine->IsRunning(); }, std::chrono::seconds(20)));
        }
        closeAll();
        Seams::ResetAll();
    }

    // The main window as a launch opens it, and its engine.
    void openWindow()
    {
        window = Main::instance();
        engine = window->threadrun1();
    }

    // Closes every window without the main window's closing work, as at the end of each test.
    static void closeAll()
    {
        for (auto& window : OpenWindows()) {
            window->OnClose = nullptr;
            window->Close();
        }
        SpinPending();
    }

    Ref<Main> window;
    // Held apart from the window, which lets its members go when it closes.
    Ref<threadrun> engine;
    int beeps { 0 };
    std::vector<String> messages;
    std::vector<String> urls;
};
