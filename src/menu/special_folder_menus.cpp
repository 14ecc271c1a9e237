// Filling the six special-folder submenus of the launcher menu each time one opens.
#include "menu/launcher_menu.h"
#include "menu/name_list.h"

#include "base/text.h"

namespace tolvern {

namespace {
constexpr wchar_t kAllUsersPrograms[] = L"プログラム(All Users)";

enum class Sorting { None, Sorted };

// How a builder sorts the entries it reads into folders (F) and files (L).
enum class Classify {
    Standard, // folders and shortcuts to folders in F (the target), the rest in L
    History,  // folders in F, everything else in L
    Recent,   // only recent-document shortcuts that pass the filter, in L
};
} // namespace

struct TLauncherMenu::SpecialFolder {
    TMenuItem* menu;
    PCIDLIST_ABSOLUTE pidl;
    bool isDesktop;
    SHCONTF flags;
    Classify classify;
    bool sortFolders;
    bool sortFiles;
};

namespace {

// A recent document is worth listing when its shortcut points to an existing file; one on a
// removable or CD-ROM drive is kept without touching the medium, unless it is the drive root.
bool PassesRecentFilter(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl) {
    const std::wstring target = GetLinkPath(allocator, pidl);
    if (!target.empty() && IsRemovableDrive(target))
        return !EqualsIgnoreCase(target, ExtractFileDrive(target) + L"\\");
    return !IsLinkToFolder(allocator, pidl) && FileExists(target);
}

// Reads one folder into F and L. False when the enumeration could not start (the submenu then
// stays as it is); a folder that cannot be bound reads as empty.
bool ReadSpecialFolder(TLauncherShell& shell, HWND owner, PCIDLIST_ABSOLUTE pidl, bool isDesktop,
                       SHCONTF flags, Classify classify, std::vector<NamedPidl>& folders,
                       std::vector<NamedPidl>& files) {
    IMalloc& allocator = *shell.ShellMalloc.Get();
    ComPtr<IShellFolder> folder;
    if (isDesktop)
        folder = shell.DesktopFolder;
    else if (!pidl ||
             FAILED(shell.DesktopFolder->BindToObject(pidl, nullptr, IID_PPV_ARGS(&folder))))
        return true;
    ComPtr<IEnumIDList> children;
    if (FAILED(folder->EnumObjects(owner, flags, &children)) || !children)
        return false;
    PITEMID_CHILD child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) {
        std::wstring caption = GetDisplayName(*folder.Get(), child);
        // The desktop's children are already absolute lists.
        UniquePidl absolute = isDesktop
                                  ? UniquePidl(allocator, reinterpret_cast<PIDLIST_ABSOLUTE>(child))
                                  : ConcatPIDL(allocator, pidl, child);
        if (!isDesktop)
            allocator.Free(child);
        if (!absolute)
            continue;
        switch (classify) {
        case Classify::Standard:
            if (IsFolderItem(absolute.get()))
                folders.push_back({std::move(caption), std::move(absolute)});
            else if (IsLinkToFolder(allocator, absolute.get()))
                folders.push_back({std::move(caption), GetLinkPIDL(allocator, absolute.get())});
            else
                files.push_back({std::move(caption), std::move(absolute)});
            break;
        case Classify::History:
            (IsFolderItem(absolute.get()) ? folders : files)
                .push_back({std::move(caption), std::move(absolute)});
            break;
        case Classify::Recent:
            if (PassesRecentFilter(allocator, absolute.get()))
                files.push_back({std::move(caption), std::move(absolute)});
            break;
        }
    }
    return true;
}

// The cursor shows work in the background while a special folder is read.
class BusyCursor {
public:
    BusyCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING)); }
    ~BusyCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); }
};

} // namespace

void TLauncherMenu::AddEntries(TMenuItem& menu, std::vector<NamedPidl>& folders,
                               std::vector<NamedPidl>& files) {
    for (NamedPidl& entry : folders)
        shell_.AddFolder(menu, entry.caption, std::move(entry.pidl));
    for (NamedPidl& entry : files)
        shell_.AddFile(menu, entry.caption, std::move(entry.pidl));
}

void TLauncherMenu::BuildSpecialMenu(const SpecialFolder& f) {
    BusyCursor busy;
    std::vector<NamedPidl> folders, files;
    if (ReadSpecialFolder(shell_, OwnerWindow, f.pidl, f.isDesktop, f.flags, f.classify, folders,
                          files)) {
        if (f.sortFolders)
            SortAndMerge(folders);
        if (f.sortFiles)
            SortAndMerge(files);
        if (!TLauncherShell::AreItemsSame(*f.menu, CaptionLines(folders, files))) {
            TLauncherShell::ResetMenuItem(*f.menu);
            AddEntries(*f.menu, folders, files);
            TLauncherShell::BreakMenu(*f.menu, false);
        }
    }
    TLauncherShell::UpdateEmptyMarker(*f.menu);
}

void TLauncherMenu::BuildDesktopMenu() {
    BuildSpecialMenu({DesktopMenuItem, DesktopPIDL, true, shell_.FolderEnumFlags,
                      Classify::Standard, false, false});
}

void TLauncherMenu::BuildMyDocumentsMenu() {
    BuildSpecialMenu({MyDocumentsMenuItem, PersonalPIDL, false, shell_.FolderEnumFlags,
                      Classify::Standard, true, true});
}

void TLauncherMenu::BuildRecentMenu() {
    BuildSpecialMenu(
        {RecentMenuItem, RecentPIDL, false, SHCONTF_NONFOLDERS, Classify::Recent, false, true});
}

void TLauncherMenu::BuildFavoritesMenu() {
    BuildSpecialMenu({FavoritesMenuItem, FavoritesPIDL, false, shell_.FolderEnumFlags,
                      Classify::Standard, true, true});
}

void TLauncherMenu::BuildHistoryMenu() {
    BuildSpecialMenu({HistoryMenuItem, HistoryPIDL, false, shell_.FolderEnumFlags,
                      Classify::History, false, true});
}

void TLauncherMenu::BuildProgramMenu() {
    BusyCursor busy;
    TMenuItem& menu = *ProgramMenuItem;
    std::vector<NamedPidl> ownFolders, ownFiles, allFolders, allFiles;
    const bool started =
        ReadSpecialFolder(shell_, OwnerWindow, ProgramsPIDL, false, shell_.FolderEnumFlags,
                          Classify::Standard, ownFolders, ownFiles) &&
        (!NTPlatform ||
         ReadSpecialFolder(shell_, OwnerWindow, CommonProgramsPIDL.get(), false,
                           shell_.FolderEnumFlags, Classify::Standard, allFolders, allFiles));
    if (started) {
        for (auto* list : {&ownFolders, &ownFiles, &allFolders, &allFiles})
            SortAndMerge(*list);
        const std::wstring text = CaptionLines(ownFolders, ownFiles) + L"-\r\n" +
                                  kAllUsersPrograms + L"\r\n-\r\n" +
                                  CaptionLines(allFolders, allFiles);
        if (!TLauncherShell::AreItemsSame(menu, text)) {
            TLauncherShell::ResetMenuItem(menu);
            AddEntries(menu, ownFolders, ownFiles);
            menu.Add(std::make_unique<TMenuItem>(L"-"))->Visible = NTPlatform;
            TMenuItem* allUsers = menu.Add(std::make_unique<TMenuItem>(kAllUsersPrograms));
            if (NTPlatform) {
                // The heading gets a list of its own, taken from the shell again.
                shell_.SavePIDLToTag(*allUsers, UniquePidl(*shell_.ShellMalloc.Get(),
                                                           RequiredFolder(CSIDL_COMMON_PROGRAMS)));
            }
            allUsers->OnClick = shell_.ItemClick;
            allUsers->OnDrawItem = shell_.DrawItem;
            allUsers->Visible = NTPlatform;
            menu.Add(std::make_unique<TMenuItem>(L"-"))->Visible = NTPlatform;
            if (NTPlatform)
                AddEntries(menu, allFolders, allFiles);
            TLauncherShell::BreakMenu(menu, false);
        }
    }
    TLauncherShell::UpdateEmptyMarker(menu);
}

} // namespace tolvern
