// Files replaced whole or not at all.
#include "framework/core/private/atomic_file.h"
#include "framework/core/exceptions.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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

// A new file in a held folder takes its name only while nothing bears it: whatever stands there
// is neither replaced nor followed, and nothing of the file is left anywhere.
TEST_F(AtomicFileTest, ANewFileInAHeldFolderNeverTakesATakenName)
{
    const fs::path folder = root / "out", keep = root / "keep.txt";
    fs::create_directory(folder);
    test_files::Write(keep, "the user's own");
    struct Row {
        const char* name;
        std::function<void()> takeTheName; // done between the opening and the commit
    };
    const Row rows[] = {
        { "a file", [&] { test_files::Write(folder / "p.jpg", "older"); } },
        { "a link to a file of the user's", [&] { fs::create_symlink(keep, folder / "p.jpg"); } },
        { "a link that leads nowhere", [&] { fs::create_symlink(root / "new.txt", folder / "p.jpg"); } },
        { "a folder", [&] { fs::create_directory(folder / "p.jpg"); } },
    };
    int error = 0;
    const auto held = FolderHandle::Open(folder.string(), error);
    ASSERT_TRUE(held) << error;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(folder / "p.jpg");
        AtomicFile file(held, "p.jpg");
        file.Write("picture", 7);
        row.takeTheName();
        const auto before = fs::symlink_status(folder / "p.jpg").type();
        EXPECT_THROW(file.Commit(), NameTakenException);
        EXPECT_EQ(fs::symlink_status(folder / "p.jpg").type(), before);
        EXPECT_EQ(test_files::Read(keep), "the user's own");
        EXPECT_FALSE(fs::exists(root / "new.txt"));
        EXPECT_EQ(test_files::Names(folder), std::vector<std::string> { "p.jpg" });
    }
    fs::remove_all(folder / "p.jpg");
    AtomicFile file(held, "p.jpg");
    file.Write("picture", 7);
    file.Commit();
    EXPECT_EQ(test_files::Read(folder / "p.jpg"), "picture");
}

// A held folder that was moved away, or replaced by a link, takes no new file at all.
TEST_F(AtomicFileTest, AHeldFolderThatWentTakesNothing)
{
    const fs::path folder = root / "out", other = root / "other";
    fs::create_directory(other);
    for (const bool linkInItsPlace : { false, true }) {
        SCOPED_TRACE(linkInItsPlace ? "a link in its place" : "moved away");
        fs::remove_all(folder);
        fs::remove_all(root / "moved");
        fs::create_directory(folder);
        int error = 0;
        const auto held = FolderHandle::Open(folder.string(), error);
        ASSERT_TRUE(held);
        AtomicFile early(held, "early.jpg");
        early.Write("x", 1);
        fs::rename(folder, root / "moved");
        if (linkInItsPlace)
            fs::create_symlink(other, folder);
        try {
            early.Commit();
            ADD_FAILURE() << "committed";
        } catch (const IOException& e) {
            EXPECT_EQ(e.ErrorNumber(), ENOENT);
            EXPECT_NE(std::string(e.what()).find("is no longer there"), std::string::npos) << e.what();
        }
        EXPECT_THROW(AtomicFile(held, "late.jpg"), IOException);
        EXPECT_TRUE(fs::is_empty(root / "moved"));
        EXPECT_TRUE(fs::is_empty(other));
    }
}

// From its making to its naming a new file's name is its own: no other file of the folder is made
// under it, and the folder's items report it taken. It is free again when the file is given up.
TEST_F(AtomicFileTest, ANameIsTheNewFilesFromItsMakingToItsNaming)
{
    const fs::path folder = root / "out";
    fs::create_directory(folder);
    int error = 0;
    const auto held = FolderHandle::Open(folder.string(), error);
    ASSERT_TRUE(held) << error;
    {
        AtomicFile first(held, "p.jpg");
        EXPECT_TRUE(held->Reserved("p.jpg"));
        EXPECT_THROW(AtomicFile(held, "p.jpg"), NameTakenException);
        EXPECT_FALSE(held->Reserved("q.jpg"));
    }
    EXPECT_FALSE(held->Reserved("p.jpg")) << "a file given up leaves its name free";
    AtomicFile second(held, "p.jpg");
    second.Write("picture", 7);
    second.Sync();
    EXPECT_TRUE(held->Reserved("p.jpg")) << "synced, not yet named";
    second.Commit();
    EXPECT_FALSE(held->Reserved("p.jpg"));
    EXPECT_EQ(test_files::Read(folder / "p.jpg"), "picture");
    // Now the disk has it.
    EXPECT_THROW(AtomicFile(held, "p.jpg"), NameTakenException);
    EXPECT_EQ(test_files::Names(folder), std::vector<std::string> { "p.jpg" });
}

} // namespace
