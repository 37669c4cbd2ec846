// The main window's menu items: enabled while it is in front, routed to the credits and help
// windows, found by name in the one menu bar.
#include "tests/main_window/main_window_fixture.h"

#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "shell/credits.h"
#include "shell/whelp.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class MenuRoutingTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        openWindow();
    }

    static int openWindowsOf(const char* className)
    {
        const auto windows = OpenWindows();
        return static_cast<int>(std::count_if(windows.begin(), windows.end(),
            [&](const Ref<Window>& w) { return w->ClassName() == className; }));
    }

};

TEST_F(MenuRoutingTest, AboutAndHelpAreEnabledWhileTheMainWindowIsInFront)
{
    window->RefreshMenus(testKey());
    EXPECT_TRUE(window->AppleCredits()->Enabled());
    EXPECT_TRUE(window->HelpHelp()->Enabled());
}

TEST_F(MenuRoutingTest, EachItemOpensOneWindowHoweverOftenItIsChosen)
{
    struct Row {
        const char* item;
        const char* windowClass;
    };
    for (const Row& row : { Row { "AppleCredits", Credits::kClassName }, Row { "HelpHelp", WHelp::kClassName } }) {
        SCOPED_TRACE(row.item);
        auto handler = window->MenuHandler(testKey(), row.item);
        ASSERT_TRUE(handler);
        EXPECT_FALSE(handler());
        SpinPending();
        EXPECT_EQ(openWindowsOf(row.windowClass), 1);
        EXPECT_FALSE(handler());
        SpinPending();
        EXPECT_EQ(openWindowsOf(row.windowClass), 1);
        EXPECT_EQ(openWindowsOf(Main::kClassName), 1);
    }
}

TEST_F(MenuRoutingTest, AccessorsFindTheirItemsInTheMenuBar)
{
    EXPECT_TRUE(window->AppleCredits());
    EXPECT_TRUE(window->FileQuit());
    for (auto item : { window->UntitledMenu0(), window->HelpHelp(), window->UntitledMenu1(), window->EditClear(),
             window->EditPaste(), window->EditCopy(), window->EditCut(), window->UntitledMenu2(),
             window->EditUndo(), window->UntitledMenu3() })
        EXPECT_TRUE(item);
    EXPECT_EQ(window->FileQuit()->Name(), "FileQuit");
    // No menu of the bar bears this name.
    EXPECT_FALSE(window->UntitledMenu4());
}

} // namespace
