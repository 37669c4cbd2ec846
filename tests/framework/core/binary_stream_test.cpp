// Binary streams: big-endian fields, replacements, and failures raised with their error numbers.
#include "framework/core/binary_stream.h"

#include "tests/support/file_size_limit.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

Ref<FolderItem> item(const fs::path& path)
{
    return FolderItem::FromPath(path.string());
}

int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IOException& e) {
        return e.ErrorNumber();
    }
    ADD_FAILURE() << "no IOException";
    return 0;
}

TEST(BinaryStream, FieldsRoundTripBigEndian)
{
    const fs::path path = test_files::MakeFolder("streams") / "record";
    const int16_t shorts[] = { 0, 1, -1, 800, 32767, -32768, 0x1234 };
    {
        auto out = BinaryStream::Create(item(path), true);
        out->WriteBoolean(true);
        for (int16_t value : shorts)
            out->WriteShort(value);
        out->WriteBoolean(false);
        EXPECT_EQ(out->Length(), 1 + 2 * 7 + 1);
        out->Close();
    }
    const std::string expected("\x01" "\x00\x00" "\x00\x01" "\xFF\xFF" "\x03\x20" "\x7F\xFF" "\x80\x00" "\x12\x34" "\x00",
        16);
    EXPECT_EQ(test_files::Read(path), expected);

    auto in = BinaryStream::Open(item(path), true);
    EXPECT_TRUE(in->ReadBoolean());
    for (int16_t value : shorts)
        EXPECT_EQ(in->ReadShort(), value);
    EXPECT_FALSE(in->ReadBoolean());
    in->Close();
}

TEST(BinaryStream, AnyNonZeroByteReadsTrue)
{
    const fs::path path = test_files::MakeFolder("streams") / "flags";
    test_files::Write(path, std::string("\x02\xFF\x00", 3));
    auto in = BinaryStream::Open(item(path), false);
    EXPECT_TRUE(in->ReadBoolean());
    EXPECT_TRUE(in->ReadBoolean());
    EXPECT_FALSE(in->ReadBoolean());
}

TEST(BinaryStream, CreateReplacesOnlyWhenAsked)
{
    const fs::path path = test_files::MakeFolder("streams") / "record";
    test_files::Write(path, "old contents");
    EXPECT_EQ(errorOf([&] { BinaryStream::Create(item(path), false); }), EEXIST);
    EXPECT_EQ(test_files::Read(path), "old contents");

    auto out = BinaryStream::Create(item(path), true);
    out->WriteShort(7);
    out->Close();
    EXPECT_EQ(test_files::Read(path), std::string("\x00\x07", 2));
}

TEST(BinaryStream, AReplacementTakesThePlaceOfTheOldFileOnlyWhenClosed)
{
    const fs::path dir = test_files::MakeFolder("streams");
    const fs::path path = dir / "record";
    test_files::Write(path, "old contents");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Whatever stands under a name that an earlier save used for its new file blocks nothing.
    fs::create_directory(dir / "record.new");

    {
        auto abandoned = BinaryStream::Create(item(path), true);
        abandoned->WriteShort(1);
        EXPECT_EQ(test_files::Read(path), "old contents") << "not before Close";
    }
    EXPECT_EQ(test_files::Read(path), "old contents") << "a stream dropped unclosed replaces nothing";
    EXPECT_EQ(test_files::Names(dir), (std::vector<std::string> { "record", "record.new" })) << "and leaves nothing beside";

    auto out = BinaryStream::Create(item(path), true);
    out->WriteShort(2);
    out->Close();
    EXPECT_EQ(test_files::Read(path), std::string("\x00\x02", 2));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(test_files::Names(dir), (std::vector<std::string> { "record", "record.new" }));
}

TEST(BinaryStream, AFileThatMayNotBeWrittenIsNotReplaced)
{
    const fs::path dir = test_files::MakeFolder("streams");
    test_files::Write(dir / "read-only", "kept");
    fs::permissions(dir / "read-only", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // Write permission for others only: the owner has none, whoever else may write.
    test_files::Write(dir / "others only", "kept");
    fs::permissions(dir / "others only", fs::perms::owner_read | fs::perms::others_write);
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);

    struct Case {
        const char* name;
        int error;
    };
    const Case cases[] = {
        { "read-only", EACCES },
        { "others only", EACCES },
        { "pipe", EINVAL },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(errorOf([&] { BinaryStream::Create(item(dir / c.name), true); }), c.error);
        if (c.error == EACCES) {
            EXPECT_EQ(test_files::Read(dir / c.name), "kept");
        }
    }
    EXPECT_EQ(fs::symlink_status(dir / "pipe").type(), fs::file_type::fifo);
    EXPECT_EQ(test_files::Names(dir), (std::vector<std::string> { "others only", "pipe", "read-only" }));
}

TEST(BinaryStream, AReplacementThatFailsToWriteKeepsTheOldFile)
{
    const fs::path dir = test_files::MakeFolder("streams");
    const fs::path path = dir / "record";
    test_files::Write(path, "old contents");
    auto out = BinaryStream::Create(item(path), true);
    out->WriteShort(1);
    // The file's own descriptor refuses the next write, as a full disk would.
    {
        const FileSizeLimit limit(2);
        ASSERT_TRUE(limit.ok);
        EXPECT_EQ(errorOf([&] { out->WriteShort(2); }), EFBIG);
    }
    // Closing after the failure must not put the half-written file in place.
    EXPECT_THROW(out->Close(), IOException);
    EXPECT_EQ(test_files::Read(path), "old contents");
    EXPECT_EQ(test_files::Names(dir), std::vector<std::string> { "record" });
}

TEST(BinaryStream, FailuresRaiseIOException)
{
    const fs::path dir = test_files::MakeFolder("streams");
    fs::create_directory(dir / "folder");
    test_files::Write(dir / "short", "\x01");

    struct Case {
        const char* what;
        std::function<void()> action;
        int error;
    };
    const Case cases[] = {
        { "open a missing file", [&] { BinaryStream::Open(item(dir / "missing"), true); }, ENOENT },
        { "open a folder", [&] { BinaryStream::Open(item(dir / "folder"), false); }, EISDIR },
        { "create in a missing folder", [&] { BinaryStream::Create(item(dir / "no" / "file"), true); }, ENOENT },
        { "create over a folder", [&] { BinaryStream::Create(item(dir / "folder"), true); }, EISDIR },
        { "read past the end", [&] { BinaryStream::Open(item(dir / "short"), false)->ReadShort(); }, EIO },
        { "write to a read-only stream", [&] { BinaryStream::Open(item(dir / "short"), false)->WriteBoolean(true); },
            EBADF },
        { "read after closing",
            [&] {
                auto s = BinaryStream::Open(item(dir / "short"), false);
                s->Close();
                s->ReadBoolean();
            },
            EBADF },
        { "write to a full device", [&] { BinaryStream::Open(item("/dev/full"), true)->WriteShort(1); }, ENOSPC },
        { "read a pipe that nobody writes to", [&] { BinaryStream::Open(item(dir / "pipe"), false)->ReadShort(); }, EIO },
    };
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    // A watchdog: a stream that waits for ever ends the test instead of hanging it.
    alarm(60);
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.action), c.error) << c.what;
    alarm(0);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

TEST(BinaryStream, NilFileRaisesNilObjectException)
{
    EXPECT_THROW(BinaryStream::Open(nullptr, true), NilObjectException);
    EXPECT_THROW(BinaryStream::Create(nullptr, true), NilObjectException);
}

} // namespace
