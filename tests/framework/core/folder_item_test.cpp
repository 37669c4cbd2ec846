// Folder items: listing order and its cache, names, trash, locks and the path questions of a run.
#include "framework/core/folder_item.h"

#include "tests/support/immutable.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<String> names(const FolderItem& folder)
{
    std::vector<String> result;
    for (int32_t i = 1; i <= folder.Count(); ++i)
        result.push_back(folder.TrueItem(i)->Name());
    return result;
}

// Waits until the coarse clock has moved past the folder's last change, so that a listing made
// now is one the cache may keep.
bool waitUntilChangeIsPast(const fs::path& folder)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat st {};
        timespec now {};
        stat(folder.c_str(), &st);
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
        const auto past = [&](const timespec& t) {
            return t.tv_sec < now.tv_sec || (t.tv_sec == now.tv_sec && t.tv_nsec < now.tv_nsec);
        };
        if (past(st.st_mtim) && past(st.st_ctim))
            return true;
        std::this_thread::yield();
    }
    return false;
}

TEST(FolderItem, ItemsInFileManagerOrderHiddenIncluded)
{
    const fs::path dir = test_files::MakeFolder("items");
    for (const char* name : { "IMG_10.jpg", "IMG_2.jpg", "img_1.jpg", "IMG_02.jpg", ".hidden", "b", "a", "A",
             "\xC3\xA9t\xC3\xA9", "Zeta" })
        test_files::Write(dir / name);
    fs::create_directory(dir / "sub");
    fs::create_directory_symlink(dir / "sub", dir / "link");

    const auto folder = FolderItem::FromPath(dir.string());
    const std::vector<String> expected { ".hidden", "A", "a", "b", "img_1.jpg", "IMG_02.jpg", "IMG_2.jpg",
        "IMG_10.jpg", "link", "sub", "Zeta", "\xC3\xA9t\xC3\xA9" };
    EXPECT_EQ(names(*folder), expected);
    EXPECT_TRUE(folder->TrueItem(0).IsNil());
    EXPECT_TRUE(folder->TrueItem(folder->Count() + 1).IsNil());

    // A link is taken as itself, not as the folder it points to.
    const auto link = folder->Child("link");
    EXPECT_TRUE(link->Exists());
    EXPECT_FALSE(link->Directory());
    EXPECT_EQ(link->Count(), 0);
    EXPECT_TRUE(folder->Child("sub")->Directory());
    EXPECT_EQ(folder->Child("b")->Count(), 0);
    EXPECT_EQ(folder->Child("missing")->Count(), 0);
}

TEST(FolderItem, ChildNamesOneItemOfTheFolder)
{
    const auto folder = FolderItem::FromPath("/some/folder");
    struct Case {
        const char* name;
        const char* path; // nullptr: no item
    };
    const Case cases[] = {
        { "photo.jpg", "/some/folder/photo.jpg" },
        { "a/b", "/some/folder/a:b" },
        { "/", "/some/folder/:" },
        { "../x", "/some/folder/..:x" },
        { "...", "/some/folder/..." },
        { "..", nullptr },
        { ".", nullptr },
        { "", nullptr },
    };
    for (const auto& c : cases) {
        const auto child = folder->Child(c.name);
        if (!c.path) {
            EXPECT_TRUE(child.IsNil()) << c.name;
            continue;
        }
        ASSERT_FALSE(child.IsNil()) << c.name;
        EXPECT_EQ(child->NativePath(), c.path);
        EXPECT_EQ(child->Parent()->NativePath(), "/some/folder");
    }
    EXPECT_EQ(FolderItem::FromPath("/")->Child("x")->NativePath(), "/x");
    EXPECT_EQ(FolderItem::FromPath("/x")->Parent()->NativePath(), "/");
    EXPECT_TRUE(FolderItem::FromPath("/")->Parent().IsNil());
    EXPECT_EQ(FolderItem::FromPath("/some/folder/")->Name(), "folder");
}

TEST(FolderItem, DeleteTrashesAFolderThatHoldsItems)
{
    const fs::path dir = test_files::MakeFolder("items");
    fs::create_directories(dir / "full" / "inner");
    test_files::Write(dir / "full" / "keep.txt", "precious");
    test_files::Write(dir / "file.txt");
    fs::create_directory(dir / "empty");

    auto file = FolderItem::FromPath((dir / "file.txt").string());
    file->Delete();
    EXPECT_EQ(file->LastErrorCode(), 0);
    EXPECT_FALSE(fs::exists(dir / "file.txt"));

    auto empty = FolderItem::FromPath((dir / "empty").string());
    empty->Delete();
    EXPECT_EQ(empty->LastErrorCode(), 0);
    EXPECT_FALSE(fs::exists(dir / "empty"));

    auto full = FolderItem::FromPath((dir / "full").string());
    full->Delete();
    EXPECT_EQ(full->LastErrorCode(), 0);
    EXPECT_FALSE(fs::exists(dir / "full"));
    const fs::path trashed = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash" / "files" / "full";
    EXPECT_EQ(test_files::Read(trashed / "keep.txt"), "precious");
    EXPECT_TRUE(fs::is_directory(trashed / "inner"));

    auto missing = FolderItem::FromPath((dir / "missing").string());
    missing->Delete();
    EXPECT_EQ(missing->LastErrorCode(), ENOENT);
}

TEST(FolderItem, AFolderThatCannotBeTrashedStays)
{
    const fs::path dir = test_files::MakeFolder("items");
    fs::create_directory(dir / "full");
    test_files::Write(dir / "full" / "keep.txt", "precious");
    // Make the trash exist, then refuse anything new in it.
    const fs::path trashFiles = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash" / "files";
    fs::create_directories(trashFiles);
    fs::create_directories(trashFiles.parent_path() / "info");
    const Immutable frozenTrash(trashFiles);
    if (!frozenTrash.ok)
        GTEST_SKIP() << "the file system here has no immutable attribute";

    auto full = FolderItem::FromPath((dir / "full").string());
    full->Delete();
    EXPECT_NE(full->LastErrorCode(), 0);
    EXPECT_EQ(test_files::Read(dir / "full" / "keep.txt"), "precious");
}

TEST(FolderItem, LockedWhereNothingCanBeWritten)
{
    const fs::path dir = test_files::MakeFolder("items");
    test_files::Write(dir / "free.txt");
    test_files::Write(dir / "fixed.txt");
    fs::create_directory(dir / "frozen");
    const auto folder = FolderItem::FromPath(dir.string());

    EXPECT_FALSE(folder->Locked());
    EXPECT_FALSE(folder->Child("free.txt")->Locked());
    EXPECT_FALSE(folder->Child("not yet.txt")->Locked());
    EXPECT_TRUE(folder->Child("no such folder")->Child("x")->Locked());

    const Immutable fixed(dir / "fixed.txt"), frozen(dir / "frozen");
    if (!fixed.ok || !frozen.ok)
        GTEST_SKIP() << "the file system here has no immutable attribute";
    EXPECT_TRUE(folder->Child("fixed.txt")->Locked());
    EXPECT_TRUE(folder->Child("frozen")->Locked());
    EXPECT_TRUE(folder->Child("frozen")->Child("new")->Locked());
}

TEST(FolderItem, LockedOnAReadOnlyMount)
{
    const fs::path dir = test_files::MakeFolder("items");
    fs::create_directory(dir / "mount");
    // The mount is made in a child process with a mount namespace of its own, so nothing
    // outside the test sees it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || mount("tmpfs", (dir / "mount").c_str(), "tmpfs", MS_RDONLY, nullptr) != 0)
            _exit(77);
        const auto mounted = FolderItem::FromPath((dir / "mount").string());
        const bool locked = mounted->Locked() && mounted->Child("new")->Locked();
        _exit(locked ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "cannot mount a read-only file system here (needs CAP_SYS_ADMIN)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "an item on a read-only mount was not reported locked";
}

TEST(FolderItem, ListingIsReadOnceUntilTheFolderChanges)
{
    const fs::path dir = test_files::MakeFolder("items");
    for (int i = 0; i < 1000; ++i)
        test_files::Write(dir / ("item " + std::to_string(i)));
    ASSERT_TRUE(waitUntilChangeIsPast(dir));

    const auto folder = FolderItem::FromPath(dir.string());
    const int64_t before = FolderListingStatistics::ListingsMade();
    int32_t seen = 0;
    for (int32_t i = 1; i <= folder->Count(); ++i) {
        ASSERT_TRUE(folder->TrueItem(i)->Exists());
        ++seen;
    }
    EXPECT_EQ(seen, 1000);
    // Another object for the same folder shares the listing.
    EXPECT_EQ(FolderItem::FromPath(dir.string())->Count(), 1000);
    EXPECT_EQ(FolderListingStatistics::ListingsMade() - before, 1);

    // Changes are seen at once, even within the clock tick of the last listing.
    test_files::Write(dir / "item 1000");
    EXPECT_EQ(folder->Count(), 1001);
    fs::remove(dir / "item 0");
    fs::remove(dir / "item 1");
    EXPECT_EQ(folder->Count(), 999);
    EXPECT_EQ(folder->TrueItem(1)->Name(), "item 2");

    // A folder replaced by another of the same name.
    fs::rename(dir, dir.string() + "-old");
    fs::create_directory(dir);
    test_files::Write(dir / "only");
    EXPECT_EQ(names(*folder), std::vector<String> { "only" });
}

TEST(FolderItem, CreateAsFolderReportsFailures)
{
    const fs::path dir = test_files::MakeFolder("items");
    auto made = FolderItem::FromPath((dir / "new").string());
    made->CreateAsFolder();
    EXPECT_EQ(made->LastErrorCode(), 0);
    EXPECT_TRUE(made->Directory());
    made->CreateAsFolder();
    EXPECT_EQ(made->LastErrorCode(), EEXIST);
    auto orphan = FolderItem::FromPath((dir / "missing" / "new").string());
    orphan->CreateAsFolder();
    EXPECT_EQ(orphan->LastErrorCode(), ENOENT);
}

TEST(FolderItem, TouchesAFolderItIsInHoldsOrIs)
{
    const fs::path dir = test_files::MakeFolder("items");
    fs::create_directories(dir / "Holiday" / "inside");
    fs::create_directory(dir / "Holiday 800");
    fs::create_directory_symlink(dir / "Holiday", dir / "Shortcut");
    fs::create_directory_symlink(dir, dir / "Up");

    struct Row {
        const char* item; // relative to the test's folder, "" for the folder itself
        const char* folder;
        bool touches;
    };
    const Row rows[] = {
        { "Holiday", "Holiday", true },
        { "Holiday/inside", "Holiday", true },
        { "Holiday/new", "Holiday", true },
        { "", "Holiday", true },
        { "Holiday 800", "Holiday", false },
        { "Holiday/inside", "Holiday 800", false },
        // A link is both the item it is and the folder it leads to; the links of an item's
        // folders are resolved.
        { "Holiday/new", "Shortcut", true },
        { "Shortcut", "Shortcut", true },
        { "Shortcut/new", "Holiday", true },
        { "Up/Holiday/new", "Holiday", true },
        { "Up/Holiday 800", "Holiday", false },
        // The item itself is not followed: deleting a link deletes the link.
        { "Shortcut", "Holiday/inside", false },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.item) + " in " + row.folder);
        const auto item = FolderItem::FromPath((dir / row.item).lexically_normal().string());
        const auto folder = FolderItem::FromPath((dir / row.folder).string());
        EXPECT_EQ(item->TouchesFolder(*folder), row.touches);
    }
}

TEST(FolderItem, GoneOnlyWhenNothingStandsUnderTheName)
{
    const fs::path dir = test_files::MakeFolder("items");
    test_files::Write(dir / "file");
    fs::create_symlink(dir / "missing", dir / "broken");
    struct Row {
        const char* name;
        bool gone;
    };
    for (const Row& row : { Row { "file", false }, Row { "broken", false }, Row { "missing", true },
             Row { "file/below", true } }) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FolderItem::FromPath((dir / row.name).string())->Gone(), row.gone);
    }
}

TEST(FolderItem, SpecialFolders)
{
    const fs::path config = std::getenv("XDG_CONFIG_HOME");
    fs::remove_all(config);
    const auto preferences = SpecialFolder::Preferences();
    EXPECT_EQ(fs::path(preferences->NativePath()), config);
    EXPECT_TRUE(preferences->Directory());

    const fs::path desktop = fs::path(std::getenv("HOME")) / "Desktop";
    fs::remove_all(desktop);
    EXPECT_EQ(fs::path(SpecialFolder::Desktop()->NativePath()), desktop);
    EXPECT_TRUE(fs::is_directory(desktop)) << "a missing Desktop is made when asked for";

    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(fs::path(GetFolderItem("")->NativePath()), exe.parent_path());
    EXPECT_EQ(fs::path(GetFolderItem("data")->NativePath()), exe.parent_path() / "data");
    EXPECT_EQ(GetFolderItem("/etc")->NativePath(), "/etc");
}

// A home or configuration folder whose path is not UTF-8 is used under its own bytes.
TEST(FolderItem, SpecialFoldersAreTheEnvironmentsBytes)
{
    const std::string home = std::getenv("HOME"), config = std::getenv("XDG_CONFIG_HOME");
    const fs::path odd = test_files::MakeFolder("special") / "Ren\xe9";
    fs::create_directories(odd);
    struct Row {
        const char* name;
        bool configSet;
    };
    for (const Row& row : { Row { "XDG_CONFIG_HOME", true }, Row { "HOME alone", false } }) {
        SCOPED_TRACE(row.name);
        setenv("HOME", odd.c_str(), 1);
        if (row.configSet)
            setenv("XDG_CONFIG_HOME", (odd / "conf\xefg").c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        const fs::path expected = row.configSet ? odd / "conf\xefg" : odd / ".config";
        EXPECT_EQ(SpecialFolder::Preferences()->NativePath(), expected.string());
        EXPECT_TRUE(fs::is_directory(expected));
        EXPECT_EQ(SpecialFolder::Desktop()->NativePath(), (odd / "Desktop").string());
        EXPECT_TRUE(fs::is_directory(odd / "Desktop"));
    }
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
}

// A held folder: its items are looked at, made and removed through the folder that was held,
// whatever comes to stand under its path; only a folder itself is held, never a link.
TEST(FolderItem, AHeldFolderKeepsItsItemsWhereItIs)
{
    const fs::path dir = test_files::MakeFolder("held");
    fs::create_directories(dir / "out");
    fs::create_directories(dir / "private");
    fs::create_symlink(dir / "private", dir / "link");
    const auto link = FolderItem::FromPath((dir / "link").string());
    const auto parent = FolderItem::FromPath(dir.string());
    parent->HoldOpen();
    ASSERT_EQ(parent->LastErrorCode(), 0);
    const auto linked = parent->Child("link");
    linked->HoldOpen();
    EXPECT_NE(linked->LastErrorCode(), 0) << "a link in a held folder is never held";

    const auto out = parent->Child("out");
    out->HoldOpen();
    ASSERT_EQ(out->LastErrorCode(), 0);
    EXPECT_TRUE(out->OwnedByUser());
    // The folder is moved away and a link to another folder put in its place.
    fs::rename(dir / "out", dir / "moved");
    fs::create_symlink(dir / "private", dir / "out");
    out->Child("made")->CreateAsFolder();
    EXPECT_TRUE(fs::is_directory(dir / "moved" / "made"));
    EXPECT_TRUE(fs::is_empty(dir / "private"));
    EXPECT_TRUE(out->Child("made")->Directory());
    out->Child("made")->Delete();
    EXPECT_TRUE(fs::is_empty(dir / "moved"));

    // The owner and an attribute of the user's namespace, where the file system keeps one.
    const auto moved = parent->Child("moved");
    EXPECT_EQ(moved->OwnerName(), ::getpwuid(::geteuid())->pw_name);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((dir / "moved").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(moved->OwnedByUser());
    }
    moved->Attribute("user.test", "caf\xe9");
    const String kept = moved->Attribute("user.test");
    EXPECT_TRUE(kept == "caf\xe9" || kept.empty()) << kept;
    EXPECT_EQ(moved->Attribute("user.none"), "");
}

} // namespace
