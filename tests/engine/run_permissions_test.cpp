// Runs over files that cannot be read, in a process that reads as an ordinary user does on every
// thread (root's read override is gone before any thread starts): the read-ahead's workers meet
// the unreadable files as the run does. Each unreadable item is a failed item with the system's
// reason, the others are saved, and the run ends through its finish, the same to the byte with the
// read-ahead on and off.

#include "tests/engine/read_ahead_run.h"

#include <QThreadPool>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using namespace engine_test;

namespace {

// Whether opening `path` for reading fails with "permission denied".
bool openingIsDenied(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    return fd < 0 && errno == EACCES;
}

class RunPermissions : public ReadAheadRun {
protected:
    // Makes the file unreadable for everyone; the test's sandbox is removed whatever its modes.
    void lock(const QString& path) { ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0), 0); }
};

TEST_F(RunPermissions, TheReadOverrideIsGoneOnEveryThread)
{
    const QString path = root() + "/locked.txt";
    writeText(path);
    lock(path);
    const std::string name = path.toStdString();
    EXPECT_TRUE(openingIsDenied(name)) << "on the GUI thread";
    bool deniedOnThread = false;
    std::thread([&] { deniedOnThread = openingIsDenied(name); }).join();
    EXPECT_TRUE(deniedOnThread) << "on a thread started later";
    std::atomic<bool> deniedOnPool { false };
    QThreadPool pool;
    pool.start([&] { deniedOnPool = openingIsDenied(name); });
    pool.waitForDone();
    EXPECT_TRUE(deniedOnPool.load()) << "on a pool's worker";
}

struct Item {
    const char* name;
    int width; // 0: a text file
    int height;
    bool readable;
};

// Pictures over 1 << 18 pixels are decoded on workers, ahead of the run; smaller ones on the run's
// own thread.
struct LockedCase {
    const char* what;
    std::vector<Item> items;
    QStringList saved;
    const char* message; // the finish's first words
    const char* firstFailed;
};

TEST_F(RunPermissions, UnreadableItemsFailWithTheirReasonAndTheRunGoesOn)
{
    const LockedCase cases[] = {
        { "a large picture read ahead between two others",
            { { "1.jpg", 2000, 1500, true }, { "2.jpg", 2000, 1500, false }, { "3.jpg", 2000, 1500, true } },
            { "1.jpg", "3.jpg" }, "1 picture could not be processed.", "2.jpg" },
        { "small and large pictures and non-pictures, readable or not",
            { { "1 large.jpg", 1600, 1200, true }, { "2 small.png", 40, 30, false }, { "3 large.png", 800, 600, false },
                { "4 notes.txt", 0, 0, false }, { "5 notes.txt", 0, 0, true }, { "6 small.png", 40, 30, true },
                { "7 large.jpg", 1200, 1600, true }, { "8 large.jpg", 1600, 1200, false } },
            { "1 large.jpg", "6 small.jpg", "7 large.jpg" }, "4 pictures could not be processed.", "2 small.png" },
        { "the first and the last picture",
            { { "1.jpg", 1600, 1200, false }, { "2.jpg", 1600, 1200, true }, { "3.jpg", 1600, 1200, true },
                { "4.jpg", 1600, 1200, false } },
            { "2.jpg", "3.jpg" }, "2 pictures could not be processed.", "1.jpg" },
    };
    int number = 0;
    for (const LockedCase& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QString("Locked %1").arg(++number);
        const QString source = makeFolder(name);
        for (const Item& item : c.items) {
            const QString path = source + "/" + item.name;
            if (item.width == 0)
                writeText(path);
            else
                writePicture(path, item.width, item.height, QString(item.name).endsWith(".png") ? "PNG" : "JPG");
            if (!item.readable) {
                lock(path);
                ASSERT_TRUE(openingIsDenied(path.toStdString()));
            }
        }
        choose(source);
        const QString output = root() + "/" + name + " (B800)";
        const Outcome sequential = runWith(false, output);
        const Outcome ahead = runWith(true, output);
        expectSame(sequential, ahead);
        EXPECT_GE(ahead.taken, 1) << "no picture came from a worker";

        QStringList savedNames;
        for (const auto& [file, bytes] : ahead.files)
            savedNames << file;
        EXPECT_EQ(savedNames, c.saved);
        ASSERT_EQ(ahead.record.messages.size(), 1u);
        const String& message = ahead.record.messages[0];
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
        EXPECT_NE(message.find(String("The first error: \"") + c.firstFailed + "\""), String::npos) << message;
        EXPECT_NE(message.find("Permission denied"), String::npos) << message;
        EXPECT_EQ(ahead.record.beeps, 1);
        EXPECT_EQ(w->STStatus()->Text(), "Folder '" + name.toStdString() + "' processed");
        EXPECT_EQ(w->PBGo()->Caption(), "Go");
    }
}

} // namespace
