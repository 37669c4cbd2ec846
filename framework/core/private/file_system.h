#pragma once

// The one door to the file system: every system call the framework makes on files and folders
// stands here once, with its retry loop, and hands back the system's error number (0 for
// success) instead of leaving it in errno. Framework-internal: the program asks FolderItem,
// BinaryStream and Picture, which ask this.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace FileSystem {

// An open file descriptor, closed when it goes unless released first.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Gives the descriptor up without closing it.
    int Release();
    // Closes now: 0, or the error a failed close reports (the bytes may not have reached the disk).
    int Close();

private:
    int m_fd { -1 };
};

enum class Kind { File, Folder, Link, Other };

struct Time {
    int64_t seconds { 0 };
    int64_t nanoseconds { 0 };
    friend bool operator==(const Time&, const Time&) = default;
};

// What the file system says of an item.
struct Status {
    // 0 when the item could be looked at; ENOENT or ENOTDIR when nothing stands under its name.
    int error { 0 };
    Kind kind { Kind::Other };
    uint32_t permissions { 0 }; // the mode's bits below the kind
    uint32_t owner { 0 }, group { 0 };
    uint64_t device { 0 }, inode { 0 };
    int64_t size { 0 };
    Time modified {}, changed {};

    bool Exists() const { return error == 0; }
};

// Links are followed when `followLinks`, else a link is taken as itself.
Status StatusOf(const std::string& path, bool followLinks);
Status StatusOf(int fd);

// A file as the file system knows it: when any of this changes, it is not the file that was read.
struct Identity {
    uint64_t device { 0 }, inode { 0 };
    int64_t size { 0 };
    Time modified {};
    friend bool operator==(const Identity&, const Identity&) = default;
};
// Nothing for anything but a regular file (links followed).
std::optional<Identity> IdentityOf(const std::string& path);

enum class OpenFor { Reading, ReadingAndWriting, NewFile };
enum class Accept { AnythingButFolders, RegularFilesOnly };

struct OpenedFile {
    FileDescriptor fd;
    int error { 0 };    // EISDIR for a folder, EINVAL for another kind not accepted
    int64_t size { 0 }; // when open
};
// Opens without waiting (a pipe without a writer would block for ever), then lets reads and
// writes wait as usual. `NewFile` creates the file and fails when the name is taken.
OpenedFile Open(const std::string& path, OpenFor purpose, Accept accept);

// The descriptors below may be owned elsewhere (a FileDescriptor, a QSaveFile).
struct Transfer {
    size_t done { 0 };
    int error { 0 };
};
// Reads until `count` bytes or the end of the file, whichever comes first.
Transfer ReadUpTo(int fd, void* into, size_t count);
// Writes all of `count` bytes; an error when the system takes none (a full disk, a size limit).
int WriteAll(int fd, const void* bytes, size_t count);
// Back to the first byte.
bool Rewind(int fd);
// Waits until the file's bytes are on the disk: 0, or the error. A file system that cannot sync
// (EINVAL) has nothing to wait for, which is no failure. QUOBLY_TEST_SYNC_DELAY_MS, read once,
// makes each sync that many milliseconds slower, as on an SD card or a USB stick.
int SyncData(int fd);
// For tests: called on the syncing thread before each sync; an empty hook unsets it.
void SetBeforeSync(std::function<void()> hook);

// Whether the system lets this process write the item. Root may write whatever the permission
// bits say, so these ask the bits as well: the caller's class (owner, group, others) among them.
bool SystemLetsWrite(const std::string& path);
bool PermissionBitsLetWrite(const Status& status);
// Whether the item lies on a file system mounted read-only.
bool OnReadOnlyMount(const std::string& path);
// Whether the item's attributes refuse every change to it (immutable, or append-only for a file),
// even by root. False when the file system has no such attributes.
bool AttributesRefuseChanges(const std::string& path, Kind kind);

// A folder's names, "." and ".." left out, in the order the system gives them; nothing when the
// folder cannot be read.
std::optional<std::vector<std::string>> FolderNames(const std::string& path);
int MakeFolder(const std::string& path);
int RemoveFile(const std::string& path);
int RemoveFolder(const std::string& path);

// The text a link holds; nothing when the item is no link.
std::optional<std::string> LinkText(const std::string& path);
// The path with every link and "." and ".." resolved; nothing when the item does not exist.
std::optional<std::string> ResolvedPath(const std::string& path);
// The process's working folder; empty when it cannot tell.
std::string WorkingFolder();
// The running executable's file.
std::optional<std::string> ExecutablePath();
// The time of the clock that the file system stamps its changes with.
Time FileClockNow();

// Writing a file whole: a file made in a folder held open (below), unnamed where the system can,
// and the steps that give that file its name in one move.
// A file of no name in `folder`, which leaves nothing behind even when the process is killed.
FileDescriptor CreateUnnamedFile(const FileDescriptor& folder, int& error);
// Whether `error`, from CreateUnnamedFile, says that the file system makes no unnamed files.
bool LacksUnnamedFiles(int error);
FileDescriptor CreateFileIn(const FileDescriptor& folder, const std::string& name, int& error);
int NameUnnamedFile(const FileDescriptor& file, const FileDescriptor& folder, const std::string& name);
int RenameIn(const FileDescriptor& folder, const std::string& from, const std::string& to);
int RemoveIn(const FileDescriptor& folder, const std::string& name);
int SetPermissions(const FileDescriptor& file, uint32_t permissions);

// A folder held open: the items in it are made, looked at, named and removed relative to its
// descriptor, so that renaming the folder or putting a link in its place cannot send anything
// elsewhere. A folder by its path is what the path leads to; the folder `name` in a folder held
// open is taken only when it is a folder itself, never through a link (ELOOP or ENOTDIR).
FileDescriptor OpenFolder(const std::string& path, int& error);
FileDescriptor OpenFolderIn(const FileDescriptor& folder, const std::string& name, int& error);
// The item `name` in `folder`, a link taken as itself.
Status StatusIn(const FileDescriptor& folder, const std::string& name);
int MakeFolderIn(const FileDescriptor& folder, const std::string& name);
int RemoveFolderIn(const FileDescriptor& folder, const std::string& name);
// Gives `from` the name `to` only while nothing bears `to`: EEXIST otherwise. Where the file
// system cannot rename so, a second link is made and the first removed, which never replaces.
int RenameNoReplaceIn(const FileDescriptor& folder, const std::string& from, const std::string& to);

// The user id this process acts as, and the name of the account `owner`, or its number.
uint32_t UserId();
std::string AccountName(uint32_t owner);

// A folder's extended attribute of the user's namespace: nothing where the file system keeps none.
int SetAttributeIn(const FileDescriptor& folder, const std::string& name, const std::string& key,
    const std::string& value);
std::optional<std::string> AttributeIn(const FileDescriptor& folder, const std::string& name, const std::string& key);

// The system's words for an error number.
std::string ErrorText(int error);

} // namespace FileSystem
