// The single-instance door: handing items over, and what must not get through it.
#include "framework/gui/private/single_instance.h"

#include "tests/support/spin.h"
#include "tests/support/unix_socket.h"

#include <QLocalSocket>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using State = SingleInstance::Parsed::State;

class SingleInstanceDoor : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::path(getenv("HOME")) / "door";
        fs::create_directories(root);
        socketPath = (root / "door.socket").string();
        for (const char* name : { "Holiday", "Summer", "Ferien \xe9t\xe9" })
            fs::create_directories(root / name);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    String folder(const char* name) const { return (root / name).string(); }

    // The running instance: a door that records what arrives.
    void listen(SingleInstance& door)
    {
        ASSERT_EQ(door.Open(socketPath, {}), SingleInstance::Outcome::Listening);
        door.OnItems = [this](const std::vector<String>& items) { arrived.push_back(items); };
    }

    // A later launch runs in a process of its own; here on a thread of its own, so that the
    // running instance's event loop can answer while it waits.
    std::future<SingleInstance::Outcome> launch(std::vector<String> items)
    {
        return std::async(std::launch::async, [this, items] { return SingleInstance().Open(socketPath, items); });
    }

    SingleInstance::Outcome finish(std::future<SingleInstance::Outcome>& later)
    {
        EXPECT_TRUE(SpinUntil([&] { return later.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        return later.get();
    }

    // Sends raw bytes to the door as any program of the user could, and tells whether the door
    // answered that it took them.
    std::future<bool> sendRaw(std::string bytes)
    {
        return std::async(std::launch::async, [this, bytes] {
            QLocalSocket socket;
            socket.connectToServer(QString::fromStdString(socketPath));
            if (!socket.waitForConnected(5000))
                return false;
            socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
            while (socket.bytesAvailable() < 1 && socket.waitForReadyRead(20000)) { }
            return socket.bytesAvailable() > 0;
        });
    }

    fs::path root;
    String socketPath;
    std::vector<std::vector<String>> arrived;
};

} // namespace

TEST(SingleInstanceMessage, OnlyAWholeListOfAbsolutePathsIsAMessage)
{
    const std::string two = SingleInstance::Encode({ "/home/me/Holiday", "/home/me/F\xe9rias/a.jpg" });
    const std::string none = SingleInstance::Encode({});
    const std::string header = none.substr(0, none.size() - 4);
    struct Case {
        const char* what;
        std::string bytes;
        State state;
    };
    const Case cases[] = {
        { "two paths, one not UTF-8", two, State::Complete },
        { "no path", none, State::Complete },
        { "nothing yet", "", State::Incomplete },
        { "half the header", two.substr(0, 5), State::Incomplete },
        { "the header without its paths", two.substr(0, none.size()), State::Incomplete },
        { "all but the last byte", two.substr(0, two.size() - 1), State::Incomplete },
        { "another program's bytes", "GET / HTTP/1.1\r\n\r\n", State::Invalid },
        { "bytes after the end", two + "x", State::Invalid },
        { "a relative path", SingleInstance::Encode({ "Holiday" }), State::Invalid },
        { "an empty path", SingleInstance::Encode({ "/a", "" }), State::Invalid },
        { "no NUL after the last path", header + std::string("\0\0\0\2/a", 6), State::Invalid },
        { "a length beyond any list", header + std::string("\x7f\xff\xff\xff", 4), State::Invalid },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SingleInstance::Parse(c.bytes).state, c.state);
    }
    EXPECT_EQ(SingleInstance::Parse(two).items, (std::vector<String> { "/home/me/Holiday", "/home/me/F\xe9rias/a.jpg" }));
    EXPECT_TRUE(SingleInstance::Parse(none).items.empty());
}

TEST_F(SingleInstanceDoor, ALaterLaunchHandsItsItemsInOrderToTheRunningInstance)
{
    SingleInstance running;
    listen(running);
    auto later = launch({ folder("Summer"), folder("Ferien \xe9t\xe9"), folder("Holiday") });
    EXPECT_EQ(finish(later), SingleInstance::Outcome::HandedOver);
    ASSERT_TRUE(SpinUntil([&] { return !arrived.empty(); }));
    EXPECT_EQ(arrived[0], (std::vector<String> { folder("Summer"), folder("Ferien \xe9t\xe9"), folder("Holiday") }));

    // A launch without items is handed over too: it only brings the running window forward.
    auto bare = launch({});
    EXPECT_EQ(finish(bare), SingleInstance::Outcome::HandedOver);
    ASSERT_TRUE(SpinUntil([&] { return arrived.size() == 2; }));
    EXPECT_TRUE(arrived[1].empty());
}

TEST_F(SingleInstanceDoor, OnlyTheUsersOwnAccountCanReachTheSocket)
{
    SingleInstance running;
    listen(running);
    struct stat st {};
    ASSERT_EQ(lstat(socketPath.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u) << std::oct << st.st_mode;
}

TEST_F(SingleInstanceDoor, ASocketLeftByACrashedInstanceDoesNotStopTheNextLaunch)
{
    // A socket file with nobody behind it, as a killed instance leaves it.
    const int fd = BindUnixSocket(socketPath);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_TRUE(fs::exists(fs::symlink_status(socketPath)));

    SingleInstance running;
    listen(running);
    auto later = launch({ folder("Holiday") });
    EXPECT_EQ(finish(later), SingleInstance::Outcome::HandedOver);
    ASSERT_TRUE(SpinUntil([&] { return !arrived.empty(); }));
    EXPECT_EQ(arrived[0], std::vector<String> { folder("Holiday") });
}

TEST_F(SingleInstanceDoor, WhatIsNotAListOfExistingPathsIsIgnoredAndTheDoorStaysOpen)
{
    SingleInstance running;
    listen(running);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        { "another program's bytes", "GET / HTTP/1.1\r\n\r\n" },
        { "a relative path", SingleInstance::Encode({ "Holiday" }) },
        { "a path that does not exist", SingleInstance::Encode({ folder("Holiday"), folder("Gone") }) },
        { "bytes after the end", SingleInstance::Encode({ folder("Holiday") }) + "more" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto sent = sendRaw(c.bytes);
        ASSERT_TRUE(SpinUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        EXPECT_FALSE(sent.get());
    }
    // A connection that sends nothing holds up nobody.
    QLocalSocket silent;
    silent.connectToServer(QString::fromStdString(socketPath));
    ASSERT_TRUE(silent.waitForConnected(5000));

    auto later = launch({ folder("Summer") });
    EXPECT_EQ(finish(later), SingleInstance::Outcome::HandedOver);
    ASSERT_TRUE(SpinUntil([&] { return !arrived.empty(); }));
    EXPECT_EQ(arrived, (std::vector<std::vector<String>> { { folder("Summer") } }));
}

TEST_F(SingleInstanceDoor, AnInstanceThatHangsUpIsNoAnswer)
{
    // Something listens and hangs up at once.
    const int fd = BindUnixSocket(socketPath);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    auto hangUp = std::async(std::launch::async, [fd] { ::close(::accept(fd, nullptr, nullptr)); });

    SingleInstance later;
    EXPECT_EQ(later.Open(socketPath, { folder("Holiday") }), SingleInstance::Outcome::NoAnswer);
    hangUp.get();
    ::close(fd);
}
