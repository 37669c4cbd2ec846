// The application's life as the system sees it: a second launch, the signals that end a session,
// paths that are not UTF-8, and the exit status.
#include "framework/gui/application.h"
#include "framework/gui/runtime.h"
#include "framework/gui/private/single_instance.h"
#include "framework/gui/private/application_internals.h"
#include "main_window/main.h"
#include "shell/startup.h"
#include "shell/whelp.h"
#include "tests/support/framework_key.h"
#include "tests/shell/shell_fixtures.h"
#include "tests/support/spin.h"
#include "tests/support/unix_socket.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        Seams::ResetQuitState();
        root = fs::path(getenv("HOME")) / "lifecycle";
        for (const char* folder : { "Holiday", "Summer", "Ferien \xe9t\xe9" })
            fs::create_directories(root / folder);
        std::ofstream(root / "Holiday" / "beach.jpg") << "not really a picture";
        socketPath = (root / "door.socket").string();
        std::error_code ignored;
        fs::remove(preferences(), ignored);
    }
    void TearDown() override
    {
        Seams::ResetQuitState();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    static fs::path preferences() { return fs::path(SpecialFolder::Preferences()->NativePath()) / "Quobly! preferences"; }
    String path(const char* relative) const { return (root / relative).string(); }
    static String chosenFolder() { return Main::instance()->f ? Main::instance()->f->NativePath() : String("(nil)"); }

    // Runs the event loop of the started application with `during` queued on it, until it quits;
    // a watchdog ends it with another status.
    static int32_t runUntilQuit(const std::function<void()>& during)
    {
        QTimer::singleShot(0, during);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { Quit(99); });
        watchdog.start(20000);
        RuntimeRun();
        return RuntimeExit();
    }

    SystemRecorder recorder;
    fs::path root;
    String socketPath;
};

// An instance that is already running, in a thread of its own so that it can answer while this
// one waits: its door at `socketPath` records what arrives.
class RunningElsewhere final {
public:
    explicit RunningElsewhere(const String& socketPath)
    {
        QObject::connect(&m_thread, &QThread::started, [this, socketPath] {
            m_door = new SingleInstance;
            m_listening = m_door->Open(socketPath, {}) == SingleInstance::Outcome::Listening;
            m_door->OnItems = [this](const std::vector<String>& items) { m_items = items; };
            m_ready = true;
        });
        QObject::connect(&m_thread, &QThread::finished, [this] { delete m_door; });
        m_thread.start();
        while (!m_ready)
            QThread::yieldCurrentThread();
    }
    ~RunningElsewhere()
    {
        m_thread.quit();
        m_thread.wait();
    }
    bool Listening() const { return m_listening; }
    // What arrived, once the thread has ended.
    std::vector<String> Received()
    {
        m_thread.quit();
        m_thread.wait();
        return m_items;
    }

private:
    QThread m_thread;
    SingleInstance* m_door { nullptr };
    std::atomic<bool> m_ready { false };
    bool m_listening { false };
    std::vector<String> m_items;
};

} // namespace

TEST_F(Lifecycle, ALaterLaunchsItemsReachTheRunningWindowInOrderAndBringItToTheFront)
{
    RunFrameworkInitialization(Startup);
    struct Finish {
        ~Finish() { Finalization(); }
    } finish;
    // The window as it stands when the items have arrived: quitting closes it.
    const auto window = Main::instance();
    window->EFPSize()->Text("800");
    OpenInstanceDoor(socketPath, {});
    ASSERT_FALSE(IsQuitting());
    // The help window in front, as the user left it.
    QWidget* help = WHelp::instance()->TopLevelWidget(testKey());
    QWidget* main = window->TopLevelWidget(testKey());
    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));

    std::future<SingleInstance::Outcome> later;
    bool mainInFront = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        mainInFront = QApplication::activeWindow() == main;
        if (window->f && window->f->NativePath() == path("Holiday") && mainInFront)
            Quit(0);
    });
    poll.start(10);
    const int32_t status = runUntilQuit([&] {
        later = std::async(std::launch::async, [this] {
            return SingleInstance().Open(socketPath, { path("Summer"), path("Holiday/beach.jpg") });
        });
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(later.get(), SingleInstance::Outcome::HandedOver);
    // The last item decides; a file gives the folder that holds it.
    ASSERT_TRUE(window->f);
    EXPECT_EQ(window->f->NativePath(), path("Holiday"));
    EXPECT_EQ(window->STFolder()->Text(), "Holiday");
    EXPECT_TRUE(window->PBGo()->Enabled());
    EXPECT_TRUE(mainInFront);
}

TEST_F(Lifecycle, OnceTheRunningInstanceQuitsALaterLaunchStartsAfresh)
{
    OpenInstanceDoor(socketPath, {});
    Quit(0);
    SingleInstance later;
    EXPECT_EQ(later.Open(socketPath, { path("Summer") }), SingleInstance::Outcome::Listening);
}

TEST_F(Lifecycle, ALaunchWhileAnInstanceRunsHandsOverAndEndsBeforeItsStartUpWithStatusZero)
{
    RunningElsewhere running(socketPath);
    ASSERT_TRUE(running.Listening());
    OpenInstanceDoor(socketPath, { path("Summer"), path("Ferien \xe9t\xe9") });
    EXPECT_TRUE(IsQuitting());
    RunFrameworkInitialization(Startup);
    EXPECT_FALSE(GetImplicitWindow(Main::kClassName));
    Finalization();
    EXPECT_EQ(RuntimeExit(), 0);
    EXPECT_EQ(running.Received(), (std::vector<String> { path("Summer"), path("Ferien \xe9t\xe9") }));
}

TEST_F(Lifecycle, AStartUpThatFailsExitsNonZero)
{
    struct Case {
        const char* what;
        std::function<void()> launch;
    };
    const Case cases[] = {
        { "the start-up routine throws", [] { Main_([] { throw NilObjectException("no application object"); }); } },
        { "the running instance hangs up", [this] {
             const int fd = BindUnixSocket(socketPath);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(::listen(fd, 4), 0);
             auto hangUp = std::async(std::launch::async, [fd] { ::close(::accept(fd, nullptr, nullptr)); });
             OpenInstanceDoor(socketPath, { path("Summer") });
             hangUp.get();
             ::close(fd);
             // Never a second window beside the running one.
             Main_();
             EXPECT_FALSE(GetImplicitWindow(Main::kClassName));
         } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Seams::ResetQuitState();
        c.launch();
        Finalization();
        EXPECT_NE(RuntimeExit(), 0);
    }
}

TEST_F(Lifecycle, EachTerminationSignalQuitsAsFileQuitDoes)
{
    for (const int signalNumber : { SIGTERM, SIGHUP, SIGINT }) {
        SCOPED_TRACE(strsignal(signalNumber));
        Seams::ResetQuitState();
        std::error_code ignored;
        fs::remove(preferences(), ignored);
        RunFrameworkInitialization(Startup);
        auto main = Main::instance();
        const int32_t status = runUntilQuit([signalNumber] { ::kill(::getpid(), signalNumber); });
        Finalization();
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(main->IsOpen());
        // The main window's closing wrote the preferences.
        EXPECT_EQ(fs::file_size(preferences(), ignored), 27u);
        // Outside the event loop the signal has its usual effect again.
        struct sigaction now {};
        sigaction(signalNumber, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL);
    }
}

TEST_F(Lifecycle, ASignalIgnoredAtLaunchStaysIgnored)
{
    // nohup starts a program with SIGHUP ignored, so that a closing terminal leaves it running.
    struct sigaction ignore {}, before {}, during {}, after {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, &ignore, &before);
    RunFrameworkInitialization(Startup);
    const int32_t status = runUntilQuit([&] {
        sigaction(SIGHUP, nullptr, &during);
        Quit(0);
    });
    Finalization();
    sigaction(SIGHUP, &before, &after);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(during.sa_handler, SIG_IGN);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
}

TEST_F(Lifecycle, PathsAreTakenAsTheFileSystemGivesThem)
{
    RunFrameworkInitialization(Startup);
    struct Finish {
        ~Finish() { Finalization(); }
    } finish;
    const fs::path working = fs::current_path();
    fs::current_path(root);
    struct Case {
        String argument;
        String chosen;
    };
    const Case cases[] = {
        { "Ferien \xe9t\xe9", path("Ferien \xe9t\xe9") },
        { path("Ferien \xe9t\xe9"), path("Ferien \xe9t\xe9") },
        { "Holiday/beach.jpg", path("Holiday") },
        { "./Summer/", path("Summer") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        Main::instance()->f = nullptr;
        DeliverOpenedItems({ c.argument });
        EXPECT_EQ(chosenFolder(), c.chosen);
    }
    fs::current_path(working);
    EXPECT_EQ(recorder.beeps, 0);
}
