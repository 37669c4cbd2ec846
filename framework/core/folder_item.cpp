#include "framework/core/folder_item.h"

#include "framework/core/trash.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <map>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {

// What identifies one state of a folder's contents. Adding, removing or renaming an item changes
// the folder's mtime and ctime; replacing the folder changes its inode.
struct FolderSignature {
    dev_t device {};
    ino_t inode {};
    timespec modified {};
    timespec changed {};
    off_t size {};

    friend bool operator==(const FolderSignature& a, const FolderSignature& b)
    {
        return a.device == b.device && a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec
            && a.modified.tv_nsec == b.modified.tv_nsec && a.changed.tv_sec == b.changed.tv_sec
            && a.changed.tv_nsec == b.changed.tv_nsec && a.size == b.size;
    }
};

struct CachedListing {
    FolderSignature signature;
    // A listing made in the same clock tick as the folder's last change cannot tell a later change
    // in that tick from none: it is used for nothing and read again.
    bool racy { true };
    uint64_t lastUse { 0 };
    std::shared_ptr<const std::vector<String>> names;
};

constexpr size_t kCachedFolders = 16;

std::mutex cacheMutex;
std::map<String, CachedListing> listingCache;
uint64_t useClock = 0;
std::atomic<int64_t> listingsMade { 0 };

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// File-manager order on lower-cased names: digit runs compare by their value.
int naturalCompare(const String& a, const String& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            size_t endA = i, endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            size_t startA = i, startB = j;
            while (startA + 1 < endA && a[startA] == '0')
                ++startA;
            while (startB + 1 < endB && b[startB] == '0')
                ++startB;
            if (endA - startA != endB - startB)
                return endA - startA < endB - startB ? -1 : 1;
            if (int c = a.compare(startA, endA - startA, b, startB, endB - startB); c != 0)
                return c < 0 ? -1 : 1;
            i = endA, j = endB;
            continue;
        }
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i, ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

std::vector<String> sortedNames(std::vector<String> names)
{
    struct Keyed {
        String key;
        String name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (auto& name : names)
        keyed.push_back({ Lowercase(name), std::move(name) });
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& x, const Keyed& y) {
        if (int c = naturalCompare(x.key, y.key); c != 0)
            return c < 0;
        return x.name < y.name;
    });
    std::vector<String> result;
    result.reserve(keyed.size());
    for (auto& item : keyed)
        result.push_back(std::move(item.name));
    return result;
}

bool notBefore(const timespec& a, const timespec& b)
{
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec >= b.tv_nsec);
}

// The folder's names in display order, read again only when the folder has changed. Null when
// the path is not a readable folder.
std::shared_ptr<const std::vector<String>> folderListing(const String& path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return nullptr;
    const FolderSignature signature { st.st_dev, st.st_ino, st.st_mtim, st.st_ctim, st.st_size };

    std::lock_guard lock(cacheMutex);
    auto found = listingCache.find(path);
    if (found != listingCache.end() && !found->second.racy && found->second.signature == signature) {
        found->second.lastUse = ++useClock;
        return found->second.names;
    }

    // File times come from the kernel's coarse clock; the time is taken before reading so that
    // any change made after the read began carries a time at or after it.
    timespec listedAt {};
    clock_gettime(CLOCK_REALTIME_COARSE, &listedAt);
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return nullptr;
    std::vector<String> names;
    while (const dirent* entry = readdir(dir)) {
        const String name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    ++listingsMade;

    // File systems that keep whole seconds only are racy for the rest of that second.
    timespec threshold = listedAt;
    if (st.st_mtim.tv_nsec == 0 && st.st_ctim.tv_nsec == 0)
        threshold.tv_sec -= 1;
    CachedListing entry;
    entry.signature = signature;
    entry.racy = notBefore(st.st_mtim, threshold) || notBefore(st.st_ctim, threshold);
    entry.lastUse = ++useClock;
    entry.names = std::make_shared<const std::vector<String>>(sortedNames(std::move(names)));
    auto names_ = entry.names;
    listingCache[path] = std::move(entry);

    if (listingCache.size() > kCachedFolders) {
        auto oldest = std::min_element(listingCache.begin(), listingCache.end(),
            [](const auto& x, const auto& y) { return x.second.lastUse < y.second.lastUse; });
        listingCache.erase(oldest);
    }
    return names_;
}

// Whether the existing item at `path` (followed through links) can be written. access() alone is
// not enough for root, who may write whatever the permission bits say, but not on a read-only
// mount nor into an immutable file.
bool writable(const String& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return false;
    if (access(path.c_str(), W_OK) != 0)
        return false;
    struct statvfs fs {};
    if (statvfs(path.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY))
        return false;
    if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd >= 0) {
            int flags = 0;
            const bool known = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
            close(fd);
            const int refusing = S_ISREG(st.st_mode) ? (FS_IMMUTABLE_FL | FS_APPEND_FL) : FS_IMMUTABLE_FL;
            if (known && (flags & refusing))
                return false;
        }
    }
    return true;
}

String parentPath(const String& path)
{
    const size_t slash = path.rfind('/');
    if (slash == String::npos || path == "/")
        return {};
    return slash == 0 ? String("/") : path.substr(0, slash);
}

String joinPath(const String& folder, const String& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

String applicationFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath().toStdString();
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "/";
    return parentPath(String(buffer, static_cast<size_t>(length)));
}

} // namespace

FolderItem::FolderItem(String nativePath)
    : m_path(std::move(nativePath))
{
    while (m_path.size() > 1 && m_path.back() == '/')
        m_path.pop_back();
}

Ref<FolderItem> FolderItem::FromPath(const String& nativePath)
{
    return MakeRef<FolderItem>(nativePath);
}

Ref<FolderItem> FolderItem::FromUserPath(const String& nativePath)
{
    std::unique_ptr<char, decltype(&free)> resolved(realpath(nativePath.c_str(), nullptr), &free);
    if (resolved)
        return FromPath(resolved.get());
    // A broken link or a missing item: still an absolute path, so that its folder is known.
    if (nativePath.empty() || nativePath.front() == '/')
        return FromPath(nativePath);
    std::unique_ptr<char, decltype(&free)> working(getcwd(nullptr, 0), &free);
    return FromPath(working ? joinPath(working.get(), nativePath) : nativePath);
}

String FolderItem::Name() const
{
    const size_t slash = m_path.rfind('/');
    return slash == String::npos ? m_path : m_path.substr(slash + 1);
}

Ref<FolderItem> FolderItem::Parent() const
{
    const String parent = parentPath(m_path);
    if (parent.empty())
        return nullptr;
    return FromPath(parent);
}

Ref<FolderItem> FolderItem::Child(const String& name) const
{
    if (name.empty() || name == "." || name == "..")
        return nullptr;
    String single = name;
    std::replace(single.begin(), single.end(), '/', ':');
    return FromPath(joinPath(m_path, single));
}

int32_t FolderItem::Count() const
{
    const auto names = folderListing(m_path);
    if (!names)
        return 0;
    return static_cast<int32_t>(std::min<size_t>(names->size(), INT32_MAX));
}

Ref<FolderItem> FolderItem::TrueItem(int32_t index) const
{
    const auto names = folderListing(m_path);
    if (!names || index < 1 || static_cast<size_t>(index) > names->size())
        return nullptr;
    return FromPath(joinPath(m_path, (*names)[static_cast<size_t>(index) - 1]));
}

bool FolderItem::Directory() const
{
    struct stat st {};
    return lstat(m_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FolderItem::Alias() const
{
    struct stat st {};
    return lstat(m_path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool FolderItem::Exists() const
{
    struct stat st {};
    return lstat(m_path.c_str(), &st) == 0;
}

bool FolderItem::Locked() const
{
    struct stat st {};
    if (stat(m_path.c_str(), &st) == 0)
        return !writable(m_path);
    // A missing item, or a link to one: what counts is whether it could be made in its folder.
    const String parent = parentPath(m_path);
    return parent.empty() || !writable(parent);
}

void FolderItem::Delete()
{
    m_lastError = 0;
    m_lastErrorText.clear();
    struct stat st {};
    if (lstat(m_path.c_str(), &st) != 0) {
        m_lastError = errno;
        return;
    }
    if (!S_ISDIR(st.st_mode)) {
        if (unlink(m_path.c_str()) != 0)
            m_lastError = errno;
        return;
    }
    if (rmdir(m_path.c_str()) == 0)
        return;
    if (errno != ENOTEMPTY && errno != EEXIST) {
        m_lastError = errno;
        return;
    }
    // A folder that still holds items is never erased: the user can take it back from the trash.
    MoveToTrash();
}

void FolderItem::MoveToTrash()
{
    // Qt's own trash reports success without a trash when the data folder is missing, and then
    // moves the item into the working folder; GIO makes the trash or refuses.
    const TrashResult result = MoveItemToTrash(m_path);
    m_lastError = result.errorNumber;
    m_lastErrorText = result.reason;
}

void FolderItem::CreateAsFolder()
{
    m_lastErrorText.clear();
    m_lastError = mkdir(m_path.c_str(), 0777) == 0 ? 0 : errno;
}

String FolderItem::LastErrorText() const
{
    if (!m_lastErrorText.empty() || m_lastError == 0)
        return m_lastErrorText;
    return std::strerror(m_lastError);
}

namespace SpecialFolder {

Ref<FolderItem> Preferences()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(path);
    return FolderItem::FromPath(path.toStdString());
}

// Asked for only when a run needs it: a missing Desktop is made, as the desktop's user-dirs
// service would have made it, rather than leaving the run nowhere to write.
Ref<FolderItem> Desktop()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QDir().mkpath(path);
    return FolderItem::FromPath(path.toStdString());
}

} // namespace SpecialFolder

Ref<FolderItem> GetFolderItem(const String& path, int32_t)
{
    const String folder = applicationFolder();
    if (path.empty())
        return FolderItem::FromPath(folder);
    if (path.front() == '/')
        return FolderItem::FromPath(path);
    return FolderItem::FromPath(joinPath(folder, path));
}

namespace FolderListingStatistics {

int64_t ListingsMade()
{
    return listingsMade.load();
}

} // namespace FolderListingStatistics
