// The launcher menu: its fixed top-level items, the six special-folder submenus, the My Menu
// entries with their icons, and the painting of submenu items.
#pragma once

#include "components/bar_popup_menu.h"
#include "framework/image_list.h"
#include "menu/launcher_shell.h"
#include "menu/name_list.h"
#include "menu/shell_items.h"
#include "settings/launcher_settings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvern {

// Top-level position of the first My Menu entry (row k stands at kFirstEntryPosition + k).
inline constexpr int kFirstEntryPosition = 10;

// One row of the My Menu list: caption, path and the identifier list made from the path.
struct MyMenuRow {
    std::wstring Caption;
    std::wstring Path;
    UniquePidl Pidl;
    int ImageIndex = 0;
};

// The launcher menu's stored set-up: no automatic popup, owner drawing, every animation
// direction, a 28-pixel banner in white bold italic Arial over black to teal.
void SetUpLauncherPopup(TBarPopupMenu& menu);

class TLauncherMenu {
public:
    // The settings and the shell are the form's; owner is the form the menu belongs to.
    TLauncherMenu(TComponent* owner, TLauncherShell& shell, const LauncherSettings& settings);
    TLauncherMenu(const TLauncherMenu&) = delete;
    TLauncherMenu& operator=(const TLauncherMenu&) = delete;
    ~TLauncherMenu();

    // Made for the DPI of the monitor the menu last showed on (at first the system's).
    TImageList ImageList_small{16, 16};
    TImageList ImageList_Large{32, 32};
    TBarPopupMenu PopupMenu2;

    // Fixed items, in top-level order (the My Menu entries go between mnuPopupNoItem and
    // MenuItem1).
    TMenuItem* mnuPopupShowDesktop;
    TMenuItem* N5;
    TMenuItem* mnuPopupRunSep;
    TMenuItem* mnuPopupNoItem;
    TMenuItem* MenuItem1;
    TMenuItem* S2;
    TMenuItem* mnuPopupSettings;
    TMenuItem* mnuPopupHelp;
    TMenuItem* mnuPopupExit;
    TMenuItem* N6;
    TMenuItem* About1;
    TMenuItem* MenuItem2;
    TMenuItem* mnuPopupExitWindows;

    // The special-folder submenus, created by PrepareTopLevelMenu.
    TMenuItem* DesktopMenuItem = nullptr;
    TMenuItem* ProgramMenuItem = nullptr;
    TMenuItem* MyDocumentsMenuItem = nullptr;
    TMenuItem* RecentMenuItem = nullptr;
    TMenuItem* FavoritesMenuItem = nullptr;
    TMenuItem* HistoryMenuItem = nullptr;

    // Special identifier lists. Those registered in ItemIdPool are owned by it (the pointers
    // here only look); the others are owned here.
    PCIDLIST_ABSOLUTE DesktopPIDL = nullptr;
    UniquePidl DrivesPIDL, NetworkPIDL, RecycleBinPIDL, ControlPanelPIDL, DeskCplPIDL;
    PCIDLIST_ABSOLUTE ProgramsPIDL = nullptr;
    UniquePidl CommonProgramsPIDL; // null unless on the NT family
    PCIDLIST_ABSOLUTE RecentPIDL = nullptr;
    PCIDLIST_ABSOLUTE FavoritesPIDL = nullptr;
    PCIDLIST_ABSOLUTE PersonalPIDL = nullptr;
    PCIDLIST_ABSOLUTE HistoryPIDL = nullptr;
    bool RecentUnavailable = false;
    bool FavoritesUnavailable = false;
    bool MyDocumentsUnavailable = false;
    bool HistoryUnavailable = false;

    bool NTPlatform = true;
    bool MenuBuilding = false;
    bool DesktopShown = false;
    HWND OwnerWindow = nullptr;

    // Where the shell's special folders come from; tests replace it to take one away, which
    // Wine's shell cannot do itself.
    std::function<HRESULT(int csidl, PIDLIST_ABSOLUTE* pidl)> SpecialFolderLocation;

    // The My Menu list's rows, in list order (row k is top-level item 10 + k).
    const std::vector<MyMenuRow>& Rows() const { return rows_; }
    // The row of a My Menu entry's item, -1 for any other item.
    int EntryRowOf(const TMenuItem* item) const;
    // The shell item an item of the menu stands for: a My Menu entry's own file or folder, or
    // an item read from a folder (its open item: the folder); null for the launcher's own items.
    PCIDLIST_ABSOLUTE ShellItemOf(const TMenuItem* item) const;

    void PreparePIDLs();
    void PrepareTopLevelMenu();
    int GetBothIcon(PCIDLIST_ABSOLUTE pidl);
    // The icons of an entry the shell cannot name: those of any item of its name and kind.
    int GetBothIcon(const std::wstring& pathOnly, bool folder);
    void AddIconToList(const std::wstring& caption, const std::wstring& path);
    // Removes every My Menu entry from the menu and the list.
    void ClearMyMenu();
    // One entry's row and item (10 + row) changed together.
    void RemoveEntry(int row);
    void MoveEntry(int from, int to);
    void RenameEntry(int row, const std::wstring& caption);
    // Told of every entry added (with its row) and of the removal of all entries.
    std::function<void(int row)> OnEntryAdded;
    std::function<void()> OnEntriesCleared;
    // Frees the six special-folder submenus with their contents, and every image but the
    // stock ones (a rebuild gives the items their images again).
    void DeleteSpecialMenus();
    // Frees the special lists kept outside the pool (before the allocator goes).
    void ReleaseSpecialPIDLs();

    void BuildDesktopMenu();
    void BuildProgramMenu();
    void BuildMyDocumentsMenu();
    void BuildRecentMenu();
    void BuildFavoritesMenu();
    void BuildHistoryMenu();

    void PopupMenu2Popup();
    void PopupMenu_DrawItem(TMenuItem* sender, TCanvas& canvas, const RECT& rect, bool selected);

    // Opening handlers of the six special-folder items and of folder items.
    void PopupMenu_DesktopClick(TMenuItem* sender);
    void PopupMenu_ProgramClick(TMenuItem* sender);
    void PopupMenu_MyDocumentsClick(TMenuItem* sender);
    void PopupMenu_RecentItemsClick(TMenuItem* sender);
    void PopUpMenu_FavoriteItemsClick(TMenuItem* sender);
    void PopUpMenu_HistoryItemsClick(TMenuItem* sender);
    void PopupMenu_FolderClick(TMenuItem* sender);

    // What choosing an item does; assigned by the form, which carries out the commands.
    TMenuItem::TNotifyEvent mnuPopupShowDesktopClick, PopupMenu_DeskCplClick, PopupMenu_ItemClick,
        PopupMenu_ItemClick2, mnuPopupSettingsClick, About1Click, mnuPopupHelpClick,
        mnuPopupExitClick, mnuPopupExitWindowsClick;

    // Option effects.
    void SetSpecialMenuVisible(TMenuItem* item, bool visible);
    void SetLargeIcon(bool large);
    // The icons are made again for a monitor of another DPI; nothing happens for the same.
    void UseIconsForDpi(int dpi);
    void SetDrawStyle(int style) { PopupMenu2.DrawStyle = style; }
    void SetBarWidth(int width) { PopupMenu2.BarWidth = width; }
    void SetAlwaysScrollMenus(bool alwaysScroll) { PopupMenu2.ScrollTallSubmenus = alwaysScroll; }
    // Empties the special-folder submenus and makes the My Menu entries again, so that every
    // icon is taken anew with the current HideArrow.
    void RefreshIcons();

private:
    struct SpecialFolder;
    void BuildSpecialMenu(const SpecialFolder& folder);
    void AddEntries(TMenuItem& menu, std::vector<NamedPidl>& folders,
                    std::vector<NamedPidl>& files);
    PIDLIST_ABSOLUTE RequiredFolder(int csidl);
    UniquePidl OptionalFolder(int csidl, const wchar_t* shellFoldersValue);
    TMenuItem* MakeSpecialItem(const wchar_t* caption, const wchar_t* openCaption, UniquePidl pidl,
                               bool available, void (TLauncherMenu::*handler)(TMenuItem*));
    void Guarded(void (TLauncherMenu::*builder)());
    TMenuItem* AddFixed(TMenuItem& parent, const wchar_t* caption, int image = -1);
    void UpdateNoItem();
    // Makes an icon of a size in pixels, whenever asked (again at another DPI).
    using IconMaker = std::function<HICON(int size)>;
    // Adds the icon `make` gives at each list's size to the large and the small list, in step,
    // and keeps `make` for making them again.
    int AddBothIcons(IconMaker make);
    int AddIconsMadeBy(const IconMaker& make);

    bool IsAvailable(const TMenuItem* specialItem) const;

    // Icons that arrive after their items were painted.
    void NoteStandIn(TMenuItem* item);
    void RepaintArrivedIcons();
    // Asks for the icons still shown as stand-ins in the open menus, then for those of the
    // submenu just opened (null: none), in place of everything asked for before.
    void QueueIcons(const TMenuItem* opened);
    struct StandInItem {
        TMenuItem* item;
        std::weak_ptr<void> life;
    };
    std::vector<StandInItem> standIns_; // painted with a stand-in, in the order painted

    TLauncherShell& shell_;
    const LauncherSettings& settings_;
    int iconsDpi_ = 0;                  // what the image lists and the pool's icons are made for
    std::vector<IconMaker> iconMakers_; // of the images past the stock ones, in list order
    std::vector<MyMenuRow> rows_;
    // Lists obtained by PreparePIDLs that PrepareTopLevelMenu hands to the pool.
    struct {
        UniquePidl desktop, programs, recent, favorites, personal, history;
    } pending_;
};

} // namespace tolvern
