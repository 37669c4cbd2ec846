// A run's pictures are written, synced and named on workers while the run goes on: several at
// once, under the names a run made one picture at a time would give, each picture a failed item
// when its file cannot be made, and all of them there when the run gives the window back.
#include "framework/core/private/file_system.h"
#include "framework/image/private/read_ahead.h"
#include "tests/engine/run_fixture.h"

#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

using namespace engine_test;

namespace {

namespace fs = std::filesystem;

// Syncs that wait on the workers until the test lets them go (or a watchdog does, and says so).
class HeldSyncs {
public:

    explicit HeldSyncs(std::function<bool(int started)> mayGo)
        : m_mayGo(std::move(mayGo))
    {
        FileSystem::SetBeforeSync([this] {
            std::unique_lock lock(m_mutex);
            ++m_started;
            m_changed.notify_all();
            if (!m_changed.wait_for(lock, std::chrono::seconds(20), [this] { return m_open || m_mayGo(m_started); }))
                m_watchdog = true;
            m_mostAtOnce = std::max(m_mostAtOnce, m_started - m_through);
            ++m_through;
        });
    }
    ~HeldSyncs()
    {
        Open();
        SaveQueue::WaitForAll();
        FileSystem::SetBeforeSync(nullptr);
    }

    void Open()
    {
        const std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    // How many syncs were waiting at once, at most.
    int MostAtOnce()
    {
        const std::lock_guard lock(m_mutex);
        return m_mostAtOnce;
    }
    bool WatchdogFired()
    {
        const std::lock_guard lock(m_mutex);
        return m_watchdog;
    }

private:
    std::function<bool(int)> m_mayGo;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_started { 0 };
    int m_through { 0 };
    int m_mostAtOnce { 0 };
    bool m_open { false };
    bool m_watchdog { false };
};

// Three pictures with one base name are in flight at once, none named yet: each still gets the
// name, and the bytes, that it gets when each file is made in its picture's turn.
TEST_F(EngineRun, SavesInFlightAtOnceTakeTheNamesOfAPictureAtATime)
{
    if (!ReadAhead::Enabled())
        GTEST_SKIP() << "with the read-ahead off, each file is made in its picture's turn";
    const QString source = makeFolder("Same");
    writePicture(source + "/a.bmp", 40, 30, "BMP");
    writePicture(source + "/a.png", 60, 30);
    writePicture(source + "/a.ppm", 30, 60, "PPM");
    choose(source);
    {
        // No file is synced before the third is on its way.
        HeldSyncs syncs([](int started) { return started >= 3; });
        run();
        EXPECT_FALSE(syncs.WatchdogFired()) << "the run waited for a picture's file before saving the next";
        EXPECT_EQ(syncs.MostAtOnce(), 3);
    }
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
    const QString output = root() + "/Same (B800)";
    EXPECT_EQ(entries(output), (QStringList { "a-2.jpg", "a-3.jpg", "a.jpg" }));
    EXPECT_EQ(QImage(output + "/a.jpg").size(), QSize(40, 30));
    EXPECT_EQ(QImage(output + "/a-2.jpg").size(), QSize(60, 30));
    EXPECT_EQ(QImage(output + "/a-3.jpg").size(), QSize(30, 60));
    // Each picture shows as done once its file is there, in the order of the items.
    EXPECT_EQ(record.progressValues, (std::vector<int> { 1, 2, 3, 0 }));
}

// Another program takes a picture's name while the picture is being written: what it put there
// is neither replaced nor followed, and the picture is a failed item that says why.
TEST_F(EngineRun, ANameTakenWhileItsPictureIsOnItsWayIsAFailedItem)
{
    if (!ReadAhead::Enabled())
        GTEST_SKIP() << "with the read-ahead off, each file is made in its picture's turn";
    const QString source = makeFolder("Taken");
    writePicture(source + "/a.png", 40, 30);
    writePicture(source + "/b.png", 700, 520); // large enough for the read-ahead's workers
    choose(source);
    const fs::path output = (root() + "/Taken (B800)").toStdString();
    const fs::path keep = (root() + "/keep.txt").toStdString();
    writeText(QString::fromStdString(keep.string()), "the user's own");
    {
        // Both files wait for their syncs until the link is there.
        bool linked = false;
        HeldSyncs syncs([&](int started) {
            if (!linked) {
                std::error_code error;
                fs::create_symlink(keep, output / "a.jpg", error);
                linked = !error;
            }
            return started >= 2;
        });
        run();
        EXPECT_TRUE(linked);
        EXPECT_FALSE(syncs.WatchdogFired());
    }
    expectOneMessageSaying(record,
        { "1 picture could not be processed. The first error: \"a.png\"", "another item took its name" });
    EXPECT_TRUE(fs::is_symlink(output / "a.jpg"));
    EXPECT_EQ(fixtures::ReadBytes(keep.string()), QByteArray("the user's own"));
    EXPECT_EQ(entries(QString::fromStdString(output.string())), (QStringList { "a.jpg", "b.jpg" }));
    EXPECT_EQ(record.progressValues, (std::vector<int> { 2, 0 }));
}

// A stop comes while pictures are on their way: the window is given back only once each of them,
// and the picture in hand, is whole under its name.
TEST_F(EngineRun, AStopWaitsForThePicturesOnTheirWay)
{
    if (!ReadAhead::Enabled())
        GTEST_SKIP() << "with the read-ahead off, each file is made in its picture's turn";
    const QString source = makeFolder("Stop");
    for (const char* name : { "1.png", "2.png", "3.png", "4.png", "5.png", "6.png" })
        writePicture(source + "/" + name, 40, 30);
    choose(source);
    const QString output = root() + "/Stop (B800)";
    QStringList atTheFinish;
    Seams::SetBeep([&] {
        ++record.beeps;
        atTheFinish = entries(output);
    });
    {
        // Pictures 1 and 2 are on their way, their syncs held until the stop has come and the
        // picture in hand is saved too.
        std::atomic<bool> stopped { false };
        HeldSyncs syncs([&](int started) { return stopped && started >= 3; });
        onStatus = [&](const String& text) {
            if (text == "Processing picture 2 of 6") {
                w->PBGo()->Push();
                stopped = true;
            }
        };
        run();
        EXPECT_FALSE(syncs.WatchdogFired());
    }
    EXPECT_EQ(atTheFinish, (QStringList { "1.jpg", "2.jpg", "3.jpg" }));
    EXPECT_EQ(entries(output), atTheFinish);
    EXPECT_EQ(record.progressValues, (std::vector<int> { 1, 2, 3, 0 }));
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
}

} // namespace
