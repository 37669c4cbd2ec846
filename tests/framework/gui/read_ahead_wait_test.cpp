// A thread's draw that waits for a worker: the event loop keeps the windows painted meanwhile, and
// what would run the program's handlers waits for the thread's next yield.
#include "framework/core/thread.h"
#include "framework/gui/application.h"
#include "framework/gui/menu_item.h"
#include "framework/image/picture.h"
#include "framework/image/private/read_ahead.h"
#include "framework/gui/private/application_internals.h"
#include "tests/framework/gui/window_fixture.h"
#include "tests/support/framework_key.h"

#include "tests/support/picture_fixtures.h"
#include "tests/support/spin.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

using namespace fixtures;

namespace {

Ref<Picture> open(const std::string& path)
{
    return Picture::Open(FolderItem::FromPath(path));
}

class CountingWindow final : public QWidget {
public:
    int paints = 0;
    int closes = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        event->accept();
    }
};

TEST(ReadAheadWait, TheWindowIsPaintedWhileADrawWaitsAndItsClosingWaitsForTheYield)
{
    TempFolder dir;
    // Large enough that its decoding outlasts many turns of the event loop.
    const std::string path = WriteJpeg(dir.file("large.jpg"), Gradient(4000, 3000), 95);
    CountingWindow window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(SpinUntil([&] { return window.paints > 0; }));

    bool timerRan = false;
    int paintsBeforeDraw = 0, paintsAfterDraw = 0, closesAfterDraw = -1;
    bool visibleAfterDraw = false;
    const int64_t taken = ReadAhead::Taken();
    Thread thread;
    thread.OnRun = [&] {
        const Ref<Picture> source = Picture::Open(FolderItem::FromPath(path));
        const Ref<Picture> target = NewPicture(400, 300, 32);
        QTimer::singleShot(0, &window, [&] {
            timerRan = true;
            window.update();
            QCoreApplication::postEvent(&window, new QCloseEvent);
        });
        paintsBeforeDraw = window.paints;
        target->Graphics()->DrawPicture(source, 0, 0, 400, 300, 0, 0, source->Width(), source->Height());
        paintsAfterDraw = window.paints;
        closesAfterDraw = window.closes;
        visibleAfterDraw = window.isVisible();
        RuntimeBackgroundTask();
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));

    EXPECT_EQ(ReadAhead::Taken(), taken + 1) << "the draw did not wait for a worker";
    EXPECT_TRUE(timerRan);
    EXPECT_GT(paintsAfterDraw, paintsBeforeDraw);
    EXPECT_EQ(closesAfterDraw, 0);
    EXPECT_TRUE(visibleAfterDraw);
    // Once the thread has yielded, the window is closed as it was asked to be.
    EXPECT_TRUE(SpinUntil([&] { return window.closes == 1 && !window.isVisible(); }));
}

// A control's own timer, as a slider's repeat while it is held down.
class TickingWidget final : public QWidget {
public:
    std::function<void()> onTick;

protected:
    void timerEvent(QTimerEvent* event) override
    {
        killTimer(event->timerId());
        onTick();
    }
};

// Whatever would run the program while a draw waits (items opened with the application, a drop, a
// menu command, a window's closing, a control's timer) runs only once the thread has yielded, in
// the order it came.
TEST(ReadAheadWait, EventsForTheProgramWaitForTheYieldAndComeInTheirOrder)
{
    TempFolder dir;
    const std::string path = WriteJpeg(dir.file("large.jpg"), Gradient(4000, 3000), 95);
    std::vector<std::string> log;

    const auto app = MakeRef<Application>();
    app->OnOpenDocument = [&](const Ref<FolderItem>& item) { log.push_back("open " + item->Name()); };
    RuntimeRegisterAppObject(app);
    auto window = MakeRef<TestWindow>();
    window->addMenuHandlers = [&](Window& w) {
        w.AddMenuHandler("FileTry", [&] {
            log.push_back("menu");
            return true;
        });
    };
    window->OnDropObject = [&](DragItem& item, int32_t) { log.push_back("drop " + item.FolderItem()->Name()); };
    window->OnClose = [&] { log.push_back("close"); };
    window->Constructor();
    const auto menuItem = MakeRef<MenuItem>();
    menuItem->Name("FileTry");

    TickingWidget ticking;
    ticking.onTick = [&] { log.push_back("tick"); };

    bool timerRan = false;
    const int64_t taken = ReadAhead::Taken();
    Thread thread;
    thread.OnRun = [&] {
        const Ref<Picture> source = Picture::Open(FolderItem::FromPath(path));
        const Ref<Picture> target = NewPicture(400, 300, 32);
        // Comes while the draw waits: the event loop runs inside the thread's turn.
        QTimer::singleShot(0, [&] {
            timerRan = true;
            DeliverOpenedItems({ path });
            DragItem item({ dir.path() });
            window->DispatchDrop(testKey(), item, 1);
            window->ChooseMenuItem(testKey(), menuItem);
            window->TopLevelWidget(testKey())->close();
            ticking.startTimer(0);
        });
        target->Graphics()->DrawPicture(source, 0, 0, 400, 300, 0, 0, source->Width(), source->Height());
        log.push_back("drawn");
        RuntimeBackgroundTask();
        log.push_back("next turn");
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    RuntimeRegisterAppObject(nullptr);

    EXPECT_EQ(ReadAhead::Taken(), taken + 1) << "the draw did not wait for a worker";
    EXPECT_TRUE(timerRan);
    const std::string folderName = FolderItem::FromPath(dir.path())->Name();
    // The timer ticks again once the loop has control; whether before the thread's next turn or
    // after it is the loop's choice.
    const auto tick = std::find(log.begin(), log.end(), "tick");
    ASSERT_NE(tick, log.end()) << "the control's timer never came again";
    EXPECT_GT(tick - log.begin(), std::find(log.begin(), log.end(), "drawn") - log.begin());
    log.erase(tick);
    const std::vector<std::string> expected { "drawn", "open large.jpg", "drop " + folderName, "menu", "close",
        "next turn" };
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(window->IsOpen());
}

// A large picture's encoding takes a good part of a second: a worker does it while the windows
// keep being painted, and the file is the one an encoding on the spot writes.
TEST(ReadAheadWait, TheWindowIsPaintedWhileALargeSaveEncodes)
{
    TempFolder dir;
    const Ref<Picture> picture = open(WritePng(dir.file("large.png"), Gradient(3000, 2000)));
    ASSERT_TRUE(picture);
    picture->Save(FolderItem::FromPath(dir.file("here.png")), Picture::SaveAsPNG);
    CountingWindow window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(SpinUntil([&] { return window.paints > 0; }));

    int paintsBeforeSave = 0, paintsAfterSave = 0;
    Thread thread;
    thread.OnRun = [&] {
        QTimer::singleShot(0, &window, [&] { window.update(); });
        paintsBeforeSave = window.paints;
        picture->Save(FolderItem::FromPath(dir.file("aside.png")), Picture::SaveAsPNG);
        paintsAfterSave = window.paints;
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    EXPECT_GT(paintsAfterSave, paintsBeforeSave);
    EXPECT_EQ(ReadBytes(dir.file("aside.png")), ReadBytes(dir.file("here.png")));
}

// Whatever work on a worker throws, of any type, is thrown again on the thread that waits for it:
// nothing leaves the worker, which would end the process.
TEST(ReadAheadWait, WhatWorkOnAWorkerThrowsIsThrownWhereItWasWaitedFor)
{
    struct NotAnException {
        int value;
    };
    int caughtValue = 0;
    String caughtText;
    bool ranHere = true;
    Thread thread;
    thread.OnRun = [&] {
        const std::thread::id here = std::this_thread::get_id();
        try {
            ReadAhead::RunOnWorker([&] {
                ranHere = std::this_thread::get_id() == here;
                throw NotAnException { 7 };
            });
        } catch (const NotAnException& e) {
            caughtValue = e.value;
        }
        try {
            ReadAhead::RunOnWorker([] { throw IOException("cannot be read: Permission denied", 13); });
        } catch (const IOException& e) {
            caughtText = e.Message();
        }
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    EXPECT_FALSE(ranHere);
    EXPECT_EQ(caughtValue, 7);
    EXPECT_EQ(caughtText, "cannot be read: Permission denied");
}

// The application object lives until the process ends; what the workers use does not. So no
// worker is left decoding once the event loop has quit, whatever it had ahead.
TEST(ReadAheadWait, NoWorkerGoesOnOnceTheEventLoopHasQuit)
{
    TempFolder dir;
    // A first picture that is drawn at once, and large ones after it whose decoding takes long.
    const std::string first = WriteJpeg(dir.file("0 first.jpg"), Gradient(640, 480), 90);
    for (const char* name : { "1.png", "2.png", "3.png", "4.png" })
        WritePng(dir.file(name), Gradient(3000, 2000));
    bool drawn = false, stop = false;
    Thread thread;
    thread.OnRun = [&] {
        const Ref<Picture> source = Picture::Open(FolderItem::FromPath(first));
        const Ref<Picture> target = NewPicture(320, 240, 32);
        target->Graphics()->DrawPicture(source, 0, 0, 320, 240, 0, 0, source->Width(), source->Height());
        drawn = true;
        while (!stop)
            RuntimeBackgroundTask();
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return drawn; }));
    ASSERT_TRUE(ReadAhead::Working()) << "nothing was read ahead";
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_FALSE(ReadAhead::Working());
    stop = true;
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
}

// Pictures kept at their full size are saved more slowly than the workers decode them: what they
// decode ahead is bounded by what its renderings hold, not only by how many workers there are.
struct AheadCase {
    const char* name;
    int side;       // of the rendering, the longer one
    int atMostJobs; // the picture in hand and those ahead
};

class ReadAheadWindow : public ::testing::TestWithParam<AheadCase> {};

TEST_P(ReadAheadWindow, DecodesAheadOnlyWhatItsRenderingsMayHold)
{
    TempFolder dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 8; ++i)
        paths.push_back(WriteJpeg(dir.file(std::to_string(i) + ".jpg"), Gradient(3600, 2400), 80));
    const int64_t finished = ReadAhead::Finished();
    const int width = GetParam().side, height = GetParam().side * 2 / 3;
    Thread thread;
    thread.OnRun = [&] {
        const Ref<Picture> source = Picture::Open(FolderItem::FromPath(paths[0]));
        const Ref<Picture> target = NewPicture(width, height, 32);
        target->Graphics()->DrawPicture(source, 0, 0, width, height, 0, 0, source->Width(), source->Height());
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning() && !ReadAhead::Working(); }));
    // Every piece of work started, dropped or not, finishes once.
    const int64_t jobs = ReadAhead::Finished() - finished;
    EXPECT_GE(jobs, 3);
    EXPECT_LE(jobs, GetParam().atMostJobs);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadAheadWindow,
    ::testing::Values(AheadCase { "FullSize", 3600, 3 }, AheadCase { "Small", 360, 8 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadAheadWait, ADrawOutsideAThreadTakesNoWorker)
{
    TempFolder dir;
    const std::string path = WriteJpeg(dir.file("small.jpg"), Gradient(800, 600), 95);
    const Ref<Picture> source = Picture::Open(FolderItem::FromPath(path));
    const Ref<Picture> target = NewPicture(200, 150, 32);
    const int64_t finished = ReadAhead::Finished();
    target->Graphics()->DrawPicture(source, 0, 0, 200, 150, 0, 0, source->Width(), source->Height());
    SpinPending();
    EXPECT_EQ(ReadAhead::Finished(), finished);
}

} // namespace
