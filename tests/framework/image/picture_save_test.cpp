// A picture is whole under its name or not there at all: a save whose writing fails leaves
// neither a partial file under the final name nor a temporary file beside it, and an older file
// of that name stays as it was.
#include "framework/image/picture.h"

#include "tests/support/file_size_limit.h"
#include "tests/support/picture_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fixtures;

namespace {

// A small disk of its own, mounted over a folder; needs root's right to mount.
class SmallDisk {
public:
    explicit SmallDisk(std::string path) : m_path(std::move(path))
    {
        std::filesystem::create_directory(m_path);
        ok = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, "size=8k") == 0;
    }
    ~SmallDisk()
    {
        if (ok)
            ::umount(m_path.c_str());
    }
    bool ok = false;

private:
    std::string m_path;
};

// A picture whose file takes far more than the few kilobytes the writes may reach.
Ref<Picture> largePicture(const TempFolder& dir)
{
    Ref<Picture> picture = Picture::Open(FolderItem::FromPath(WriteJpeg(dir.file("source.jpg"), Gradient(600, 400), 98)));
    EXPECT_TRUE(picture);
    return picture;
}

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct FailingWriteCase {
    const char* name;
    bool olderFile;  // a file of the user's already stands under the name
    bool fullDisk;   // a full disk rather than the file size limit
};

class PictureSaveFails : public ::testing::TestWithParam<FailingWriteCase> {};

TEST_P(PictureSaveFails, LeavesNothingUnderTheNameAndNoTemporaryFile)
{
    TempFolder dir;
    const Ref<Picture> picture = largePicture(dir);
    ASSERT_TRUE(picture);
    const std::string folder = dir.file("out");
    std::unique_ptr<SmallDisk> disk;
    if (GetParam().fullDisk) {
        disk = std::make_unique<SmallDisk>(folder);
        if (!disk->ok)
            GTEST_SKIP() << "no right to mount a small disk here";
    } else {
        std::filesystem::create_directory(folder);
    }
    const std::string path = folder + "/picture.jpg";
    if (GetParam().olderFile)
        WriteBytes(path, "older");

    for (int32_t format : { Picture::SaveAsJPEG, Picture::SaveAsPNG }) {
        SCOPED_TRACE(format);
        int error = 0;
        std::string message;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (!GetParam().fullDisk) {
                limit = std::make_unique<FileSizeLimit>(4096);
                ASSERT_TRUE(limit->ok);
            }
            try {
                picture->Save(FolderItem::FromPath(path), format, 90);
                ADD_FAILURE() << "the save succeeded";
            } catch (const IOException& e) {
                error = e.ErrorNumber();
                message = e.what();
            }
        }
        EXPECT_EQ(error, GetParam().fullDisk ? ENOSPC : EFBIG) << message;
        if (GetParam().fullDisk) {
            EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
        }
        if (GetParam().olderFile) {
            EXPECT_EQ(entries(folder), std::vector<std::string> { "picture.jpg" });
            EXPECT_EQ(ReadBytes(path), QByteArray("older"));
        } else {
            EXPECT_TRUE(entries(folder).empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Writes, PictureSaveFails,
    ::testing::Values(FailingWriteCase { "SizeLimitNewFile", false, false },
        FailingWriteCase { "SizeLimitOverAnOlderFile", true, false },
        FailingWriteCase { "FullDiskNewFile", false, true },
        FailingWriteCase { "FullDiskOverAnOlderFile", true, true }),
    [](const auto& info) { return std::string(info.param.name); });

// A process that dies in the middle of the writing (here the system ends it at the file size
// limit, as a kill or a power loss would) leaves no partial picture under the name.
TEST(PictureSave, KilledMidWriteLeavesNothingUnderTheName)
{
    TempFolder dir;
    const Ref<Picture> picture = largePicture(dir);
    ASSERT_TRUE(picture);
    const std::string path = dir.file("picture.jpg");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            picture->Save(FolderItem::FromPath(path), Picture::SaveAsJPEG, 90);
        } catch (const RuntimeException&) {
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writing was not cut off";
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// The same save without a limit is whole, and nothing else is left beside it.
TEST(PictureSave, WholeFileAloneUnderItsName)
{
    TempFolder dir;
    const Ref<Picture> picture = largePicture(dir);
    ASSERT_TRUE(picture);
    const std::string folder = dir.file("out");
    std::filesystem::create_directory(folder);
    picture->Save(FolderItem::FromPath(folder + "/picture.png"), Picture::SaveAsPNG, -1);
    EXPECT_EQ(entries(folder), std::vector<std::string> { "picture.png" });
    EXPECT_EQ(ReadBack(folder + "/picture.png").size(), QSize(600, 400));
}

} // namespace
