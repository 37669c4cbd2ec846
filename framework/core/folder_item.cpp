// Files and folders by their paths: their listing in file-manager order, kept until the folder
// changes, and what can be asked of and done to them.
#include "framework/core/folder_item.h"

#include "framework/core/private/file_system.h"
#include "framework/core/private/folder_handle.h"
#include "framework/core/trash.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <vector>

namespace {

// What identifies one state of a folder's contents. Adding, removing or renaming an item changes
// the folder's mtime and ctime; replacing the folder changes its inode.
struct FolderSignature {
    uint64_t device {};
    uint64_t inode {};
    FileSystem::Time modified {};
    FileSystem::Time changed {};
    int64_t size {};

    friend bool operator==(const FolderSignature&, const FolderSignature&) = default;
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

bool notBefore(const FileSystem::Time& a, const FileSystem::Time& b)
{
    return a.seconds > b.seconds || (a.seconds == b.seconds && a.nanoseconds >= b.nanoseconds);
}

// The folder's names in display order, read again only when the folder has changed. Null when
// the path is not a readable folder.
std::shared_ptr<const std::vector<String>> folderListing(const String& path)
{
    const FileSystem::Status st = FileSystem::StatusOf(path, false);
    if (!st.Exists() || st.kind != FileSystem::Kind::Folder)
        return nullptr;
    const FolderSignature signature { st.device, st.inode, st.modified, st.changed, st.size };

    std::lock_guard lock(cacheMutex);
    auto found = listingCache.find(path);
    if (found != listingCache.end() && !found->second.racy && found->second.signature == signature) {
        found->second.lastUse = ++useClock;
        return found->second.names;
    }

    // The time is taken before reading so that any change made after the read began carries a
    // time at or after it.
    const FileSystem::Time listedAt = FileSystem::FileClockNow();
    std::optional<std::vector<String>> names = FileSystem::FolderNames(path);
    if (!names)
        return nullptr;
    ++listingsMade;

    // File systems that keep whole seconds only are racy for the rest of that second.
    FileSystem::Time threshold = listedAt;
    if (st.modified.nanoseconds == 0 && st.changed.nanoseconds == 0)
        threshold.seconds -= 1;
    CachedListing entry;
    entry.signature = signature;
    entry.racy = notBefore(st.modified, threshold) || notBefore(st.changed, threshold);
    entry.lastUse = ++useClock;
    entry.names = std::make_shared<const std::vector<String>>(sortedNames(std::move(*names)));
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
    const FileSystem::Status status = FileSystem::StatusOf(path, true);
    return status.Exists() && FileSystem::SystemLetsWrite(path) && !FileSystem::OnReadOnlyMount(path)
        && !FileSystem::AttributesRefuseChanges(path, status.kind);
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

// The path with the links of its folders resolved; the item itself is not followed.
std::filesystem::path withFoldersResolved(const String& nativePath)
{
    namespace fs = std::filesystem;
    const fs::path path = fs::path(nativePath).lexically_normal();
    if (!path.has_relative_path())
        return path;
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(path.parent_path(), error);
    return (error ? path.parent_path() : folder) / path.filename();
}

String applicationFolder()
{
    const std::optional<String> executable = FileSystem::ExecutablePath();
    return executable ? parentPath(*executable) : String("/");
}

// The home folder as the environment names it, in its bytes.
String homeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return home;
    return QFile::encodeName(QDir::homePath()).toStdString();
}

// A path that Qt found, in the file system's bytes. Qt reads the home folder from the
// environment as text, which mangles bytes that are not UTF-8: the home part is taken again
// from the environment's own bytes.
String pathAsBytes(const QString& path)
{
    const QString home = QDir::homePath();
    if (path == home || path.startsWith(home + QLatin1Char('/')))
        return homeFolder() + QFile::encodeName(path.mid(home.size())).toStdString();
    return QFile::encodeName(path).toStdString();
}

void makeFolders(const String& path)
{
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
}

// What stands under the item's name, a link taken as itself: relative to the held folder the
// item lies in, if any.
FileSystem::Status statusOf(const String& path, const std::shared_ptr<const FolderHandle>& in, const String& name)
{
    return in ? FileSystem::StatusIn(in->Descriptor(), name) : FileSystem::StatusOf(path, false);
}

constexpr int kFolderGone = ENOENT;

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
    if (const std::optional<String> resolved = FileSystem::ResolvedPath(nativePath))
        return FromPath(*resolved);
    // A broken link or a missing item: still an absolute path, so that its folder is known.
    if (nativePath.empty() || nativePath.front() == '/')
        return FromPath(nativePath);
    const String working = FileSystem::WorkingFolder();
    return FromPath(!working.empty() ? joinPath(working, nativePath) : nativePath);
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
    Ref<FolderItem> child = FromPath(joinPath(m_path, single));
    child->m_in = m_held;
    return child;
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
    const FileSystem::Status status = statusOf(m_path, m_in, Name());
    return status.Exists() && status.kind == FileSystem::Kind::Folder;
}

bool FolderItem::Alias() const
{
    const FileSystem::Status status = statusOf(m_path, m_in, Name());
    return status.Exists() && status.kind == FileSystem::Kind::Link;
}

bool FolderItem::Exists() const
{
    // A name promised to a picture still being written is as taken as one on the disk.
    if (m_in && m_in->Reserved(Name()))
        return true;
    return statusOf(m_path, m_in, Name()).Exists();
}

bool FolderItem::Gone() const
{
    const int error = statusOf(m_path, m_in, Name()).error;
    return error == ENOENT || error == ENOTDIR;
}

bool FolderItem::TouchesFolder(const FolderItem& folder) const
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path followed = fs::weakly_canonical(fs::path(folder.m_path), error);
    if (error)
        followed = fs::path(folder.m_path).lexically_normal();
    const fs::path itemPath = withFoldersResolved(m_path);
    for (const fs::path& folderPath : { withFoldersResolved(folder.m_path), followed }) {
        if (itemPath.parent_path() == folderPath)
            return true;
        const auto mismatch = std::mismatch(itemPath.begin(), itemPath.end(), folderPath.begin(), folderPath.end());
        if (mismatch.first == itemPath.end())
            return true;
    }
    return false;
}

bool FolderItem::Locked() const
{
    if (FileSystem::StatusOf(m_path, true).Exists())
        return !writable(m_path);
    // A missing item, or a link to one: what counts is whether it could be made in its folder.
    const String parent = parentPath(m_path);
    return parent.empty() || !writable(parent);
}

void FolderItem::Delete()
{
    m_lastErrorText.clear();
    const FileSystem::Status status = statusOf(m_path, m_in, Name());
    if (!status.Exists()) {
        m_lastError = status.error;
        return;
    }
    if (status.kind != FileSystem::Kind::Folder) {
        m_lastError = m_in ? FileSystem::RemoveIn(m_in->Descriptor(), Name()) : FileSystem::RemoveFile(m_path);
        return;
    }
    m_lastError = m_in ? FileSystem::RemoveFolderIn(m_in->Descriptor(), Name()) : FileSystem::RemoveFolder(m_path);
    if (m_lastError != ENOTEMPTY && m_lastError != EEXIST)
        return;
    // A folder that still holds items is never erased: the user can take it back from the trash.
    MoveToTrash();
}

void FolderItem::MoveToTrash()
{
    // The trash takes an item by its path: only while that path still leads into the held folder.
    if (m_in && !m_in->StillAtItsPath()) {
        m_lastError = kFolderGone;
        m_lastErrorText = "its folder \"" + m_in->Path() + "\" is no longer there";
        return;
    }
    // Qt's own trash reports success without a trash when the data folder is missing, and then
    // moves the item into the working folder; GIO makes the trash or refuses.
    const TrashResult result = MoveItemToTrash(m_path);
    m_lastError = result.errorNumber;
    m_lastErrorText = result.reason;
}

void FolderItem::CreateAsFolder()
{
    m_lastErrorText.clear();
    m_lastError = m_in ? FileSystem::MakeFolderIn(m_in->Descriptor(), Name()) : FileSystem::MakeFolder(m_path);
}

void FolderItem::HoldOpen()
{
    m_lastErrorText.clear();
    int error = 0;
    std::shared_ptr<const FolderHandle> held = m_in ? FolderHandle::OpenIn(*m_in, Name(), error) : FolderHandle::Open(m_path, error);
    m_lastError = error;
    if (held)
        m_held = std::move(held);
}

bool FolderItem::OwnedByUser() const
{
    if (m_held)
        return m_held->Owner() == FileSystem::UserId();
    const FileSystem::Status status = statusOf(m_path, m_in, Name());
    return status.Exists() && status.owner == FileSystem::UserId();
}

String FolderItem::OwnerName() const
{
    if (m_held)
        return FileSystem::AccountName(m_held->Owner());
    return FileSystem::AccountName(statusOf(m_path, m_in, Name()).owner);
}

String FolderItem::Attribute(const String& name) const
{
    int error = 0;
    const std::shared_ptr<const FolderHandle> in = m_in ? m_in : FolderHandle::Open(parentPath(m_path), error);
    if (!in)
        return {};
    return FileSystem::AttributeIn(in->Descriptor(), Name(), name).value_or(String());
}

void FolderItem::Attribute(const String& name, const String& value)
{
    if (Attribute(name) == value)
        return;
    int error = 0;
    const std::shared_ptr<const FolderHandle> in = m_in ? m_in : FolderHandle::Open(parentPath(m_path), error);
    if (in)
        FileSystem::SetAttributeIn(in->Descriptor(), Name(), name, value);
}

String FolderItem::LastErrorText() const
{
    if (!m_lastErrorText.empty() || m_lastError == 0)
        return m_lastErrorText;
    return FileSystem::ErrorText(m_lastError);
}

namespace SpecialFolder {

Ref<FolderItem> Preferences()
{
    // The environment's bytes as they are: a home whose path is not UTF-8 stays itself.
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    const String path = configured && configured[0] == '/' ? String(configured) : homeFolder() + "/.config";
    makeFolders(path);
    return FolderItem::FromPath(path);
}

// Asked for only when a run needs it: a missing Desktop is made, as the desktop's user-dirs
// service would have made it, rather than leaving the run nowhere to write.
Ref<FolderItem> Desktop()
{
    const String path = pathAsBytes(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    makeFolders(path);
    return FolderItem::FromPath(path);
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
