#include "framework/core/atomic_file.h"
#include "framework/core/exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

void put(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "atomic-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }

    // The folder's names: nothing beside what a test expects, no temporary file left.
    std::vector<std::string> names(const fs::path& folder) const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

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
    EXPECT_EQ(slurp(target), "picture");
    EXPECT_EQ(names(folder), std::vector<std::string> { "caf\xe9.jpg" });
}

// Until Commit the old file stands whole; a file never committed leaves nothing behind.
TEST_F(AtomicFileTest, TheOldFileStandsUntilCommitAndKeepsItsPermissions)
{
    const fs::path target = root / "record";
    put(target, "old");
    ::chmod(target.c_str(), 0640);
    {
        AtomicFile file(target.string());
        file.Write("new bytes", 9);
        EXPECT_EQ(slurp(target), "old");
    }
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(names(root), std::vector<std::string> { "record" });

    AtomicFile file(target.string());
    file.Write("new bytes", 9);
    file.Commit();
    EXPECT_EQ(slurp(target), "new bytes");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(names(root), std::vector<std::string> { "record" });
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
            put(target, "old");
        fs::create_symlink("elsewhere/file", link);
        AtomicFile file(link.string());
        file.Write("new", 3);
        file.Commit();
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(slurp(target), "new");
    }
    fs::create_directory(root / "folder.jpg");
    EXPECT_THROW(AtomicFile((root / "folder.jpg").string()), IOException);
    EXPECT_TRUE(fs::is_directory(root / "folder.jpg"));
}

} // namespace
