// Files replaced whole or not at all.
#include "framework/core/private/atomic_file.h"
#include "framework/core/exceptions.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE((root = test_files::MakeFolder("atomic")).empty()); }

    fs::path root;
};

// A folder and a file whose names are not UTF-8 are written where they are, under their bytes.
TEST_F(AtomicFileTest, PathsAreTheFileSystemsBytes)
{
    const fs::path folder = root / "Zweite \xe9t\xe9";
    fs::create_directory(folder);
    const std::string target = (folder / "caf\xe9.jpg").string();
    AtomicFile file(target);
    file.Write("picture", 7);
    file.Commit();
    EXPECT_EQ(test_files::Read(target), "picture");
    EXPECT_EQ(test_files::Names(folder), std::vector<std::string> { "caf\xe9.jpg" });
}

// Until Commit the old file stands whole; a file never committed leaves nothing behind.
TEST_F(AtomicFileTest, TheOldFileStandsUntilCommitAndKeepsItsPermissions)
{
    const fs::path target = root / "record";
    test_files::Write(target, "old");
    ::chmod(target.c_str(), 0640);
    {
        AtomicFile file(target.string());
        file.Write("new bytes", 9);
        EXPECT_EQ(test_files::Read(target), "old");
    }
    EXPECT_EQ(test_files::Read(target), "old");
    EXPECT_EQ(test_files::Names(root), std::vector<std::string> { "record" });

    AtomicFile file(target.string());
    file.Write("new bytes", 9);
    file.Commit();
    EXPECT_EQ(test_files::Read(target), "new bytes");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(test_files::Names(root), std::vector<std::string> { "record" });
}

// A link stays a link, and the file it leads to (existing or not yet) gets the bytes; a folder of
// the name is never replaced.
TEST_F(AtomicFileTest, LinksAreFollowedAndOnlyFilesAreReplaced)
{
    fs::create_directory(root / "elsewhere");
    for (const bool targetExists : { true, false }) {
        const fs::path link = root / "link", target = root / "elsewhere" / "file";
        fs::remove(link);
        fs::remove(target);
        if (targetExists)
            test_files::Write(target, "old");
        fs::create_symlink("elsewhere/file", link);
        AtomicFile file(link.string());
        file.Write("new", 3);
        file.Commit();
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(test_files::Read(target), "new");
    }
    fs::create_directory(root / "folder.jpg");
    EXPECT_THROW(AtomicFile((root / "folder.jpg").string()), IOException);
    EXPECT_TRUE(fs::is_directory(root / "folder.jpg"));
}

} // namespace
