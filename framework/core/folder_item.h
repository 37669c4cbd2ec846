#pragma once

#include "framework/core/ref.h"
#include "framework/core/text.h"

#include <cstdint>
#include <memory>

class FolderHandle;

// A file or folder named by its path. The item need not exist.
class FolderItem final {
public:
    explicit FolderItem(String nativePath);

    static Ref<FolderItem> FromPath(const String& nativePath);
    // An item the user named directly (chosen, dropped, opened with the application): a symbolic
    // link stands for what it leads to, as the user means that folder or file. A broken link stays.
    static Ref<FolderItem> FromUserPath(const String& nativePath);

    String Name() const;
    String NativePath() const { return m_path; }
    // The folder that holds this item; nil for the root.
    Ref<FolderItem> Parent() const;
    // The item of that one name in this folder, whether or not it exists. "/" in the name becomes
    // ":", so a name never leaves the folder; "", "." and ".." name no item (nil).
    Ref<FolderItem> Child(const String& name) const;
    // Number of items in this folder, hidden ones included; 0 for a file.
    int32_t Count() const;
    // The item of 1-based number `index` in name order (case-insensitive, digit runs as numbers);
    // a symbolic link is taken as itself. Nil outside 1..Count().
    Ref<FolderItem> TrueItem(int32_t index) const;

    bool Directory() const; // a symbolic link is not a folder
    bool Alias() const;     // a symbolic link, whatever it leads to
    // Also true for a name in a held folder that a picture still being written will take.
    bool Exists() const;
    // True when nothing stands under the item's name any more, not even a broken link (an item
    // that cannot be looked at is not gone).
    bool Gone() const;
    // True when this item is `folder` itself, one of the folders that hold it, or an item in it:
    // deleting this item, or making it and saving into it, would touch that folder. The links of
    // the folders on both paths are resolved (this item itself is not followed, as deleting or
    // making it does not follow it), and `folder` counts both as the item it is and as the
    // folder it leads to.
    bool TouchesFolder(const FolderItem& folder) const;
    // True when the item exists and cannot be written, or does not exist and its folder cannot be.
    bool Locked() const;
    // Removes a file or an empty folder; a folder that still holds items goes to the trash.
    // Failures are not raised: LastErrorCode() tells (an errno value, 0 after success).
    void Delete();
    // Moves the item to the desktop trash, from where the user can take it back. When no trash
    // takes it, the item stays where it was and LastErrorCode() and LastErrorText() tell why.
    void MoveToTrash();
    void CreateAsFolder();
    // Holds this folder open: from now on the items that Child gives are made, looked at, named
    // and removed relative to it, so that a rename of the folder or a link put in its place cannot
    // send them elsewhere. A folder named by its path is what the path leads to; an item of a held
    // folder is held only when it is a folder itself, never through a link. Failures are not
    // raised: LastErrorCode() tells.
    void HoldOpen();
    // Whether the item belongs to the user the application runs as; for a held folder, whether
    // the folder that was held does.
    bool OwnedByUser() const;
    // The name of the account the item belongs to.
    String OwnerName() const;
    // An extended attribute of the user's namespace ("user.something"): empty when the item has
    // none, or its file system keeps none. Setting one where the file system keeps none does
    // nothing.
    String Attribute(const String& name) const;
    void Attribute(const String& name, const String& value);
    int32_t LastErrorCode() const { return m_lastError; }
    // Why the last operation failed, in words; empty after success.
    String LastErrorText() const;

private:
    // A picture is saved relative to the held folder it goes into.
    friend class Picture;
    const std::shared_ptr<const FolderHandle>& heldFolder() const { return m_in; }
    const std::shared_ptr<const FolderHandle>& held() const { return m_held; }

    String m_path;
    std::shared_ptr<const FolderHandle> m_held; // this folder, once held open
    std::shared_ptr<const FolderHandle> m_in;   // the held folder this item lies in
    int32_t m_lastError { 0 };
    String m_lastErrorText; // the trash's own words, when it gave some
};

namespace SpecialFolder {
// The user's configuration folder (created when missing).
Ref<FolderItem> Preferences();
Ref<FolderItem> Desktop();
}

// "" gives the folder that holds the executable; other paths are taken relative to it.
Ref<FolderItem> GetFolderItem(const String& path, int32_t pathMode = 0);

// How often a folder was actually read: the listing behind Count and TrueItem is kept until the
// folder changes, and this counter lets tests and benchmarks see that.
namespace FolderListingStatistics {
int64_t ListingsMade();
}
