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
    SHCONTF flags;
    Classify classify;
    bool sortFolders;
    bool sortFiles;
};

namespace {

// A recent document is worth listing when its shortcut points to an existing file; one on a
// removable or CD-ROM drive is kept without touching the medium, unless it is the drive root.
bool PassesRecentFilter(const ShellItemFacts& facts, const LinkTarget& target) {
    if (target.OnRemovableDrive())
        return !EqualsIgnoreCase(target.path, ExtractFileDrive(target.path) + L"\\");
    return !(facts.IsLink() && IsLinkTargetFolder(target)) && FileExists(target.path);
}

// Reads one folder into F and L. False when the enumeration could not start (the submenu then
// stays as it is); a folder that cannot be bound reads as empty.
bool ReadSpecialFolder(TLauncherShell& shell, PCIDLIST_ABSOLUTE pidl, SHCONTF flags,
                       Classify classify, std::vector<NamedPidl>& folders,
                       std::vector<NamedPidl>& files) {
    if (!pidl)
        return true;
    using Child = TLauncherShell::FolderChild;
    return shell.ReadFolder(pidl, flags, [&](Child& child) {
        const ShellItemFacts& facts = child.facts;
        switch (classify) {
        case Classify::Standard:
            if (facts.IsFolder()) {
                folders.push_back(
                    {std::move(child.caption), std::move(child.pidl), child.icon, facts.path});
            } else {
                LinkTarget target = shell.ResolveChildLink(child);
                if (facts.IsLink() && IsLinkTargetFolder(target))
                    folders.push_back({std::move(child.caption), std::move(target.pidl),
                                       child.icon.ForTarget(target.path)});
                else
                    files.push_back({std::move(child.caption), std::move(child.pidl), child.icon});
            }
            break;
        case Classify::History:
            (facts.IsFolder() ? folders : files)
                .push_back({std::move(child.caption), std::move(child.pidl), child.icon});
            break;
        case Classify::Recent:
            if (PassesRecentFilter(facts, shell.ResolveChildLink(child)))
                files.push_back({std::move(child.caption), std::move(child.pidl), child.icon});
            break;
        }
        return true;
    }) != TLauncherShell::ReadOutcome::NotStarted;
}

} // namespace

void TLauncherMenu::AddEntries(TMenuItem& menu, std::vector<NamedPidl>& folders,
                               std::vector<NamedPidl>& files) {
    for (NamedPidl& entry : folders)
        shell_.AddFolder(menu, entry.caption, std::move(entry.pidl), entry.icon, entry.path);
    for (NamedPidl& entry : files)
        shell_.AddFile(menu, entry.caption, std::move(entry.pidl), entry.icon);
}

void TLauncherMenu::BuildSpecialMenu(const SpecialFolder& f) {
    BusyCursor busy;
    std::vector<NamedPidl> folders, files;
    if (ReadSpecialFolder(shell_, f.pidl, f.flags, f.classify, folders, files)) {
        if (f.sortFolders)
            SortAndMerge(folders);
        if (f.sortFiles)
            SortAndMerge(files);
        if (!TLauncherShell::AreItemsSame(*f.menu, CaptionLines(folders, files))) {
            TLauncherShell::ResetMenuItem(*f.menu);
            AddEntries(*f.menu, folders, files);
            shell_.BreakMenu(*f.menu);
        }
    }
    TLauncherShell::UpdateEmptyMarker(*f.menu);
}

void TLauncherMenu::BuildDesktopMenu() {
    BuildSpecialMenu(
        {DesktopMenuItem, DesktopPIDL, shell_.FolderEnumFlags, Classify::Standard, false, false});
}

void TLauncherMenu::BuildMyDocumentsMenu() {
    BuildSpecialMenu({MyDocumentsMenuItem, PersonalPIDL, shell_.FolderEnumFlags, Classify::Standard,
                      true, true});
}

void TLauncherMenu::BuildRecentMenu() {
    BuildSpecialMenu(
        {RecentMenuItem, RecentPIDL, SHCONTF_NONFOLDERS, Classify::Recent, false, true});
}

void TLauncherMenu::BuildFavoritesMenu() {
    BuildSpecialMenu(
        {FavoritesMenuItem, FavoritesPIDL, shell_.FolderEnumFlags, Classify::Standard, true, true});
}

void TLauncherMenu::BuildHistoryMenu() {
    BuildSpecialMenu(
        {HistoryMenuItem, HistoryPIDL, shell_.FolderEnumFlags, Classify::History, false, true});
}

void TLauncherMenu::BuildProgramMenu() {
    BusyCursor busy;
    TMenuItem& menu = *ProgramMenuItem;
    std::vector<NamedPidl> ownFolders, ownFiles, allFolders, allFiles;
    const bool started =
        ReadSpecialFolder(shell_, ProgramsPIDL, shell_.FolderEnumFlags, Classify::Standard,
                          ownFolders, ownFiles) &&
        (!NTPlatform || ReadSpecialFolder(shell_, CommonProgramsPIDL.get(), shell_.FolderEnumFlags,
                                          Classify::Standard, allFolders, allFiles));
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
            shell_.BreakMenu(menu);
        }
    }
    TLauncherShell::UpdateEmptyMarker(menu);
}

} // namespace tolvern
