// The launcher's shell state (allocator, desktop folder, pools, extension cache, options) and
// the routines that read folders into menu items with it.
#pragma once

#include "base/com.h"
#include "framework/hint_window.h"
#include "framework/menu_item.h"
#include "menu/item_pools.h"
#include "menu/menu_icons.h"
#include "menu/shell_items.h"
#include "settings/launcher_messages.h"
#include "settings/launcher_settings.h"

#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace tolvern {

// The cursor shows work in the background while a folder is read.
class BusyCursor {
public:
    BusyCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING)); }
    ~BusyCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

class TLauncherShell {
public:
    // The settings are the form's live options; they are read at every use.
    explicit TLauncherShell(const LauncherSettings& settings);
    TLauncherShell(const TLauncherShell&) = delete;
    TLauncherShell& operator=(const TLauncherShell&) = delete;
    ~TLauncherShell();

    ComPtr<IMalloc> ShellMalloc;
    ComPtr<IShellFolder> DesktopFolder;
    TItemIdPool ItemIdPool;
    TIconHandlePool IconHandlePool;
    TAssociatedExtCache AssociatedExtCache;
    SHCONTF FolderEnumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
    // Special lists that reads compare with; owned by whoever obtained them.
    PIDLIST_ABSOLUTE ControlPanelPIDL = nullptr;
    PIDLIST_ABSOLUTE RecycleBinPIDL = nullptr;
    PIDLIST_ABSOLUTE CommonProgramsPIDL = nullptr;
    // The pool entries' icons as menus paint them, found off this thread.
    TMenuIcons Icons{ItemIdPool, IconHandlePool, CommonProgramsPIDL};
    THintWindow* ProgressHint = nullptr; // owned by the form
    std::wstring Title = kApplicationTitle;
    HWND OwnerWindow = nullptr; // owner of any window the shell shows while enumerating
    // The monitor the menu is open on; unset, the primary one.
    std::function<RECT()> MenuMonitor;

    // Handlers given to the items that reads create.
    TMenuItem::TNotifyEvent FolderClick; // a folder item's submenu is opening
    TMenuItem::TNotifyEvent ItemClick;   // a file item or an open item is chosen
    TMenuItem::TDrawItemEvent DrawItem;

    // Shows a message box (the form's MsgBox); returns the answer.
    std::function<int(const TLauncherMessage&)> MsgBox;

    // Seams for what Wine cannot produce: its drives always report a medium (the volume
    // query succeeds even for a missing one), and a test cannot hold Esc down during a read.
    std::function<bool(const std::wstring& root)> DriveReady;
    std::function<bool()> EscapePressed;

    // Obtains ShellMalloc and DesktopFolder; throws when the shell gives neither.
    void PrepareShell();

    // Registers the list (taking ownership, null included) and the item's icon, with what a
    // read learnt of that icon; sets Tag.
    bool SavePIDLToTag(TMenuItem& item, UniquePidl pidl, const IconHint& icon = {});
    // The small icon of a pool entry, taken now if need be, with the HideArrow of its
    // registration (menus paint through Icons, which never waits for one).
    HICON PoolIcon(int index) { return Icons.Now(index); }
    // Frees every pool list and icon (exit and restart), once the icon worker has let go.
    void EmptyPools();

    // Reading a folder, for folder items and the special-folder menus alike.
    struct FolderChild {
        std::wstring caption;         // as the folder shows it
        UniquePidl pidl;              // absolute
        ShellItemFacts facts;         // each found once, from the folder's own answers where it can
        IconHint icon;                // what the read tells of the child's icon
        TLinkReader* links = nullptr; // opens the read's shortcuts
        TIconClasses* iconClasses = nullptr;
    };
    enum class ReadOutcome { Read, NotStarted, Stopped };
    // Where a folder lies in the file system, asked once per read.
    struct FolderPlace {
        bool hasPath = false;
        std::wstring path;
        bool removable = false; // on a removable or CD-ROM drive
    };
    FolderPlace PlaceOf(PCIDLIST_ABSOLUTE pidl);
    // The place of a pool entry, from the path its read found when there is one.
    FolderPlace PlaceOfEntry(int index);
    // The path remembered for a pool entry; empty when none is.
    std::wstring KnownPath(int index) const;
    // Remembers the path of a pool entry (a folder's, found by a read; or that of an item the
    // shell cannot name, whose entry holds no list).
    void RememberPath(int index, const std::wstring& path) { knownPaths_[index] = path; }
    // The shell cannot read the folder exactly (its path is too long for it, or it has no list):
    // it is read through the file system instead, never as another folder.
    static bool ReadsThroughFileSystem(PCIDLIST_ABSOLUTE pidl, const FolderPlace& place);
    // What holds for the length of one popup is asked of the system once in it (each question
    // costs a round trip under Wine): the menu's monitor and each drive's type.
    void BeginPopup();
    bool IsRemovable(const std::wstring& path); // on a removable or CD-ROM drive
    const RECT& MonitorRect();
    // On a removable drive without a medium (asked through DriveReady): not to be read or
    // opened.
    bool MediumMissing(const FolderPlace& place) const;
    // Hands every child of the folder (the desktop for its empty list), enumerated with
    // flags, to visit; visit returns false to stop. A folder that cannot be bound reads as
    // empty; NotStarted when its enumeration cannot start.
    ReadOutcome ReadFolder(PCIDLIST_ABSOLUTE pidl, SHCONTF flags,
                           const std::function<bool(FolderChild&)>& visit);
    // The same, with the place the caller already found.
    ReadOutcome ReadFolder(PCIDLIST_ABSOLUTE pidl, const FolderPlace& place, SHCONTF flags,
                           const std::function<bool(FolderChild&)>& visit);
    // Hands the folder's entries, as the file system lists them under the "\\?\" form of its
    // path, to visit as children without lists (the hidden ones only with
    // SHCONTF_INCLUDEHIDDEN). NotStarted when the folder cannot be listed.
    ReadOutcome ReadFileSystemFolder(const FolderPlace& place, SHCONTF flags,
                                     const std::function<bool(FolderChild&)>& visit);
    // A shortcut child's target, resolved from its path by the read's reader (the child's
    // icon hint then tells of the icon the target gives it); empty for any other child.
    static LinkTarget ResolveChildLink(FolderChild& child);

    // Folder expansion.
    void GetSubItems2(TMenuItem*& item);
    int GetSubItemCount(PCIDLIST_ABSOLUTE pidl);
    void InsertChildHeader(TMenuItem& item);
    // path: the item's path when the caller knows it (a folder's, or any item's without list).
    TMenuItem* AddFolder(TMenuItem& parent, const std::wstring& caption, UniquePidl pidl,
                         const IconHint& icon = {}, const std::wstring& path = {});
    TMenuItem* AddFile(TMenuItem& parent, const std::wstring& caption, UniquePidl pidl,
                       const IconHint& icon = {}, const std::wstring& path = {});
    // "(なし)" (position 2) shows exactly when the submenu holds nothing but its header.
    static void UpdateEmptyMarker(TMenuItem& item);
    static bool AreItemsSame(const TMenuItem& item, const std::wstring& text);
    static void ResetMenuItem(TMenuItem& item);
    // The folder item is read again at its next opening, whatever the options say (its folder
    // was changed from the menu).
    static void MarkUnread(TMenuItem& folder);
    void RebuildMenuItem(TMenuItem*& item);
    void BreakMenu(TMenuItem& item);
    // The DPI of the monitor the launcher menu shows on, told at each popup.
    int MenuDpi = 96;
    // The height the submenus' items are measured at there.
    int MenuItemHeight() const;

    // Progress hint of long reads.
    void HintOn();
    void HintShow(const std::wstring& text);
    void HintOff();
    const RECT& ProgressHintRect() const { return progressHintRect_; }

private:
    bool SameFolder(PCIDLIST_ABSOLUTE special, PCIDLIST_ABSOLUTE pidl) const;
    ComPtr<IShellFolder> BindFolder(PCIDLIST_ABSOLUTE pidl) const;
    bool Escape() const;

    const LauncherSettings& settings_;
    RECT progressHintRect_{};
    std::unordered_map<int, std::wstring> knownPaths_; // by pool index
    std::optional<RECT> monitorRect_;                    // for this popup
    TRemovableDrives removableDrives_;                 // for this popup
};

} // namespace tolvern
