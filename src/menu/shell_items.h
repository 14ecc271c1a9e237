// Identifier lists and the shell item tests: size, copy, paths, folders, shortcuts, names.
#pragma once

#include "base/com.h"
#include "base/shell_path.h"

#include <shlobj.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tolvern {

// Owns one identifier list allocated by the shell allocator and frees it with that allocator.
class UniquePidl {
public:
    UniquePidl() = default;
    UniquePidl(IMalloc& allocator, PIDLIST_ABSOLUTE pidl) : allocator_(&allocator), pidl_(pidl) {}
    UniquePidl(const UniquePidl&) = delete;
    UniquePidl& operator=(const UniquePidl&) = delete;
    UniquePidl(UniquePidl&& other) noexcept
        : allocator_(other.allocator_), pidl_(other.release()) {}
    UniquePidl& operator=(UniquePidl&& other) noexcept {
        if (this != &other) {
            reset();
            allocator_ = other.allocator_;
            pidl_ = other.release();
        }
        return *this;
    }
    ~UniquePidl() { reset(); }

    PIDLIST_ABSOLUTE get() const { return pidl_; }
    explicit operator bool() const { return pidl_ != nullptr; }
    PIDLIST_ABSOLUTE release() { return std::exchange(pidl_, nullptr); }
    void reset() {
        if (pidl_ && allocator_)
            allocator_->Free(pidl_);
        pidl_ = nullptr;
    }

private:
    IMalloc* allocator_ = nullptr;
    PIDLIST_ABSOLUTE pidl_ = nullptr;
};

// --- Identifier-list memory -----------------------------------------------------------

// The item identifier after this one; null for null or for the terminator.
PCUIDLIST_RELATIVE GetNextItemID(PCUIDLIST_RELATIVE item);
// Bytes including the 2-byte terminator; 0 for null.
UINT GetPIDLSize(PCUIDLIST_RELATIVE pidl);
UniquePidl CopyPIDL(IMalloc& allocator, PCUIDLIST_RELATIVE pidl);
// The parent's items followed by the child's; a copy of whichever is non-null.
UniquePidl ConcatPIDL(IMalloc& allocator, PCUIDLIST_RELATIVE parent, PCUIDLIST_RELATIVE child);
bool IsDesktopPIDL(PCUIDLIST_RELATIVE pidl); // the empty list

// An identifier list copied into plain memory: it goes to another thread as data, with no
// allocator or shell object of this thread.
class PidlBytes {
public:
    PidlBytes() = default;
    explicit PidlBytes(PCUIDLIST_RELATIVE pidl);
    PCIDLIST_ABSOLUTE get() const {
        return bytes_.empty() ? nullptr : reinterpret_cast<PCIDLIST_ABSOLUTE>(bytes_.data());
    }
    explicit operator bool() const { return !bytes_.empty(); }

private:
    std::vector<BYTE> bytes_;
};

// --- Paths and directories -------------------------------------------------------------

std::wstring GetWindowsDir(); // with a trailing backslash; empty on failure
std::wstring GetSystemDir();
// The list of exactly that path, or none: the shell cuts a path longer than it can take and
// gives the list of another folder, which must never stand for it.
UniquePidl GetPIDLFromPath(IShellFolder& desktop, IMalloc& allocator, const std::wstring& path);

std::wstring ExtractFileDrive(const std::wstring& path); // "C:" or "\\server\share"
std::wstring ExtractFileExt(const std::wstring& path);   // from the last dot, dot included
std::wstring ExtractFileName(const std::wstring& path);
bool FileExists(const std::wstring& path);

bool IsRemovableDriveType(UINT driveType); // removable disk or CD-ROM
bool IsRemovableDrive(const std::wstring& path);
// The drive types asked so far, each asked of the system once (a round trip under Wine) until
// forgotten.
class TRemovableDrives {
public:
    bool IsRemovable(const std::wstring& path); // on a removable or CD-ROM drive
    void Forget() { drives_.clear(); }

private:
    std::unordered_map<std::wstring, bool> drives_; // by drive, upper case
};
bool IsDriveReady(const std::wstring& root);
bool IsDirAccessible(const std::wstring& path);

// --- Shell item tests (absolute lists) -------------------------------------------------

// What the item tests need to know of one item, each fact found once. On removable and
// CD-ROM drives the shell is not asked about the item at all: the extension decides.
struct ShellItemFacts {
    bool hasPath = false;
    std::wstring path;
    bool removable = false;
    bool attributesKnown = false; // the shell answered the attribute question
    SFGAOF attributes = 0;
    // The file system's attributes, when a folder read had them at hand.
    DWORD fileAttributes = INVALID_FILE_ATTRIBUTES;

    bool IsFolder() const;
    bool IsLink() const;
    // A file-system item known to be no shortcut.
    bool IsPlain() const { return hasPath && (removable || attributesKnown) && !IsLink(); }
};

// Facts from the item's own absolute list (one path query, one drive query, one attribute
// query).
ShellItemFacts GetItemFacts(PCIDLIST_ABSOLUTE pidl);
// Facts of a file-system entry that has no list, from the file system alone: a shortcut by its
// extension, as the shell tells one.
ShellItemFacts GetFileSystemFacts(const std::wstring& path, DWORD fileAttributes, bool removable);

bool IsFolderItem(PCIDLIST_ABSOLUTE pidl);
bool IsLinkItem(PCIDLIST_ABSOLUTE pidl);

// The shortcut file opened for reading; null when it cannot be.
ComPtr<IShellLinkW> LoadShellLink(const std::wstring& linkPath);
// The icon file a shortcut names, with its environment variables ("%SystemRoot%") expanded and
// of any length; empty when it names none.
std::wstring ShortcutIconLocation(IShellLinkW& link, int& index);

// A shortcut opened once: its target's list and path.
struct LinkTarget {
    UniquePidl pidl;
    std::wstring path;
    bool attributesKnown = false; // the shell's answer for the list, when it was asked
    SFGAOF attributes = 0;
    bool removableKnown = false; // whether the path's drive is removable, when it was asked
    bool removable = false;
    std::wstring iconFile; // the icon file the shortcut names (expanded), empty for none
    int iconIndex = 0;

    bool NamesIcon() const { return !iconFile.empty(); }

    // The path lies on a removable or CD-ROM drive (asked now unless it was when read).
    bool OnRemovableDrive() const {
        return !path.empty() && (removableKnown ? removable : IsRemovableDrive(path));
    }
};
LinkTarget ReadLinkTarget(IMalloc& allocator, IShellLinkW& link);
LinkTarget ResolveLink(IMalloc& allocator, const std::wstring& linkPath);

// Opens the shortcuts of one folder read: one shell link object loads each in turn, and the
// folders their targets stand in are bound once (shortcuts of a folder mostly point into a
// few folders). The targets' drive types are asked through `drives`.
class TLinkReader {
public:
    TLinkReader(IMalloc& allocator, TRemovableDrives& drives);
    ~TLinkReader();
    TLinkReader(const TLinkReader&) = delete;
    TLinkReader& operator=(const TLinkReader&) = delete;

    LinkTarget Resolve(const std::wstring& linkPath);

    struct Parents; // bound folders by their lists

private:
    IMalloc& allocator_;
    ComPtr<IShellLinkW> link_;
    ComPtr<IPersistFile> file_;
    std::unique_ptr<Parents> parents_;
};
// Whether a resolved shortcut points at a folder.
bool IsLinkTargetFolder(const LinkTarget& target);

bool IsLinkToFolder(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl);
UniquePidl GetLinkPIDL(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl);
std::wstring GetLinkPath(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl);

// Extensions already found to have a program; only positive answers are kept.
class TAssociatedExtCache {
public:
    bool Contains(const std::wstring& ext) const;
    void Add(const std::wstring& ext) { exts_.push_back(ext); }
    int Count() const { return static_cast<int>(exts_.size()); }
    void Clear() { exts_.clear(); }

private:
    std::vector<std::wstring> exts_;
};

// With `unassociated`, extensions found to have no program are remembered there and not asked
// about again (for the time of one read: a program associated meanwhile counts from the next).
bool IsAssociatedPath(TAssociatedExtCache& cache, const std::wstring& path,
                      TAssociatedExtCache* unassociated = nullptr);
bool IsAssociatedFile(TAssociatedExtCache& cache, PCIDLIST_ABSOLUTE pidl);

// The name the parent folder shows for its child, with every "&" doubled.
std::wstring GetDisplayName(IShellFolder& folder, PCUITEMID_CHILD child);
// The name a folder shows for a file-system entry found without the shell (a file's extension
// hidden as the shell hides it), with every "&" doubled.
std::wstring FileSystemDisplayName(const std::wstring& fileName, bool folder);
std::wstring DoubleAmpersands(const std::wstring& text);

} // namespace tolvern
