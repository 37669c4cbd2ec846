// Start-up and shut-down.
#include "shell/startup.h"

#include "framework/gui/application.h"
#include "framework/core/file_type.h"
#include "framework/gui/runtime.h"
#include "framework/gui/window.h"
#include "main_window/main.h"
#include "shell/app.h"
#include "shell/menu.h"
#include "tests/shell/shell_fixtures.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

std::vector<String> registeredNames()
{
    std::vector<String> names;
    for (const auto& registration : FileTypeRegistry::Registered())
        names.push_back(registration.name);
    return names;
}

} // namespace

TEST(StartUp, RegistersTheProgramsClassesAfterTheFrameworksInOrder)
{
    const auto before = RegisteredClasses();
    RegisterClasses();
    const auto after = RegisteredClasses();
    ASSERT_GE(after.size(), before.size());
    const std::vector<String> added(after.begin() + static_cast<std::ptrdiff_t>(before.size()), after.end());
    // threadrun arrives as the base of the window's engine instance, before it.
    const std::vector<String> expected { "Main", "Main.RBType", "threadrun", "Main.threadrun1", "Menu",
        "Credits", "App", "WHelp" };
    EXPECT_EQ(added, expected);
}

TEST(StartUp, StepsComeUpInOrderFileTypesApplicationMenuBarThenMainWindow)
{
    SystemRecorder recorder;
    ASSERT_TRUE(FileTypeRegistry::Registered().empty());
    ASSERT_FALSE(TheApplication());

    InitFileTypes();
    EXPECT_EQ(registeredNames(), (std::vector<String> { "text", "image/jpeg", "all", "pref" }));
    EXPECT_FALSE(TheApplication());

    NewAppInstance();
    ASSERT_TRUE(TheApplication().As<App>());
    ASSERT_TRUE(TheApplication()->MenuBar());
    EXPECT_EQ(TheApplication()->MenuBar(), Ref<MenuBar>(Menu::instance()));
    // The menu bar exists, the main window not yet.
    EXPECT_FALSE(GetImplicitWindow(Main::kClassName));

    MakeDefaultView();
    auto main = GetImplicitWindow(Main::kClassName).As<Main>();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->IsOpen());
    EXPECT_EQ(main->MenuBar(), TheApplication()->MenuBar());
    main = nullptr;
    Finalization();
}

TEST(StartUp, StartupLeavesOneApplicationOneMenuBarAndTheMainWindowOpen)
{
    SystemRecorder recorder;
    RunFrameworkInitialization(Startup);
    // Windows left open would outlive the application at exit.
    struct Finish {
        ~Finish() { Finalization(); }
    } finish;
    EXPECT_EQ(registeredNames().size(), 4u);
    ASSERT_TRUE(TheApplication().As<App>());
    EXPECT_EQ(TheApplication()->MenuBar(), Main::instance()->MenuBar());
    EXPECT_EQ(Main::instance()->MenuBar(), Ref<MenuBar>(Menu::instance()));
    const auto windows = OpenWindows();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                  [](const Ref<Window>& w) { return w->ClassName() == Main::kClassName; }),
        1);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(ShutDown, ExitStatusIsTheOneQuitReceivedAndTypesAreWithdrawnInOrder)
{
    SystemRecorder recorder;
    // Main_ runs the start-up routine itself, then the event loop.
    QTimer::singleShot(0, [] { Quit(3); });
    Main_();
    Finalization();
    EXPECT_EQ(FileTypeRegistry::WithdrawalLog(), (std::vector<String> { "text", "image/jpeg", "all", "pref" }));
    EXPECT_TRUE(FileTypeRegistry::Registered().empty());
    EXPECT_EQ(RuntimeExit(), 3);
}

TEST(StartUp, AStartUpRoutineThatFailsIsReportedAndRunsNoEventLoop)
{
    SystemRecorder recorder;
    bool loopRan = false;
    QTimer probe;
    probe.setSingleShot(true);
    QObject::connect(&probe, &QTimer::timeout, [&loopRan] {
        loopRan = true;
        Quit(99);
    });
    probe.start(0);
    // The file types come up, then a step fails before any window exists: a loop now would have
    // no window whose closing could end it.
    Main_([] {
        InitFileTypes();
        throw NilObjectException("no application object");
    });
    EXPECT_FALSE(loopRan);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_NE(recorder.messages[0].find("no application object"), String::npos);
    Finalization();
    EXPECT_TRUE(FileTypeRegistry::Registered().empty());
}

TEST(ShutDown, ClosingTheMainWindowQuitsWithStatusZero)
{
    SystemRecorder recorder;
    QTimer::singleShot(0, [] { Main::instance()->Close(); });
    Main_();
    Finalization();
    EXPECT_EQ(RuntimeExit(), 0);
}

TEST(MenuRouting, CtrlQQuitsThroughTheQuitItemAndSavesThePreferences)
{
    SystemRecorder recorder;
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(SpecialFolder::Preferences()->NativePath()) / "Quobly! preferences", ignored);
    RunFrameworkInitialization(Startup);
    auto main = Main::instance();
    QWidget* top = main->TopLevelWidget(testKey());
    ASSERT_NE(top, nullptr);
    top->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(top));
    QTimer::singleShot(0, [top] { QTest::keyClick(top, Qt::Key_Q, Qt::ControlModifier); });
    // A watchdog: should the shortcut not quit, the loop ends with another status.
    QTimer::singleShot(10000, [] { Quit(99); });
    RuntimeRun();
    Finalization();
    EXPECT_EQ(RuntimeExit(), 0);
    EXPECT_FALSE(main->IsOpen());
    // Quitting closed the main window first, so its closing wrote the preferences.
    const std::filesystem::path preferences = std::filesystem::path(SpecialFolder::Preferences()->NativePath()) / "Quobly! preferences";
    EXPECT_EQ(std::filesystem::file_size(preferences, ignored), 27u);
}
