// Reading a folder into its item's submenu: classification, order, column breaks, progress
// hint and Esc abort.
#include "menu/launcher_shell.h"
#include "menu/name_list.h"

#include "base/dpi.h"
#include "base/monitors.h"
#include "framework/menus.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

namespace tolvern {

namespace {

constexpr wchar_t kOpenedMark[] = L"OPENED";
constexpr wchar_t kEmptyMarker[] = L"(なし)";

std::wstring JoinPath(const std::wstring& dir, const std::wstring& name) {
    return !dir.empty() && dir.back() == L'\\' ? dir + name : dir + L"\\" + name;
}

// What a read knows of its folder, found once, so that the children of a file-system
// folder are classified from the bound folder's own answers rather than one full shell
// look-up per child.
struct FolderFacts {
    IShellFolder* folder = nullptr;
    bool hasPath = false; // the children's paths are this path joined with their names
    std::wstring path;
    bool removable = false;
};

// The same facts GetItemFacts finds from the absolute list, taken from the parent folder.
ShellItemFacts ChildFacts(const FolderFacts& parent, PCUITEMID_CHILD child,
                          PCIDLIST_ABSOLUTE absolute) {
    if (parent.hasPath) {
        // On removable and CD-ROM drives only the extension decides: do not ask about the
        // item beyond whether it is a file.
        SFGAOF attributes = SFGAO_FILESYSTEM;
        if (!parent.removable)
            attributes |= SFGAO_FOLDER | SFGAO_LINK;
        STRRET name{};
        if (SUCCEEDED(parent.folder->GetAttributesOf(1, &child, &attributes)) &&
            (attributes & SFGAO_FILESYSTEM) &&
            SUCCEEDED(
                parent.folder->GetDisplayNameOf(child, SHGDN_INFOLDER | SHGDN_FORPARSING, &name))) {
            wchar_t* parsed = nullptr;
            if (SUCCEEDED(::StrRetToStrW(&name, child, &parsed)) && parsed) {
                ShellItemFacts facts;
                facts.hasPath = true;
                facts.path = JoinPath(parent.path, parsed);
                ::CoTaskMemFree(parsed);
                facts.removable = parent.removable;
                facts.attributesKnown = !parent.removable;
                facts.attributes = attributes;
                // A folder's attributes travel in its list: no disk access.
                WIN32_FIND_DATAW data{};
                if (facts.IsFolder() &&
                    SUCCEEDED(::SHGetDataFromIDListW(parent.folder, child, SHGDFIL_FINDDATA, &data,
                                                     sizeof data)))
                    facts.fileAttributes = data.dwFileAttributes;
                return facts;
            }
        }
    }
    return GetItemFacts(absolute);
}

} // namespace

bool TLauncherShell::Escape() const {
    return EscapePressed && EscapePressed();
}

bool TLauncherShell::SameFolder(PCIDLIST_ABSOLUTE special, PCIDLIST_ABSOLUTE pidl) const {
    if (!special || !pidl || !DesktopFolder)
        return false;
    const HRESULT hr = DesktopFolder->CompareIDs(0, special, pidl);
    return SUCCEEDED(hr) && static_cast<short>(HRESULT_CODE(hr)) == 0;
}

ComPtr<IShellFolder> TLauncherShell::BindFolder(PCIDLIST_ABSOLUTE pidl) const {
    ComPtr<IShellFolder> folder;
    if (!pidl || !DesktopFolder)
        return folder;
    if (IsDesktopPIDL(pidl))
        return DesktopFolder; // the desktop cannot bind to itself
    if (FAILED(DesktopFolder->BindToObject(pidl, nullptr, IID_PPV_ARGS(&folder))))
        folder.Reset();
    return folder;
}

TLauncherShell::FolderPlace TLauncherShell::PlaceOf(PCIDLIST_ABSOLUTE pidl) {
    FolderPlace place;
    place.hasPath = GetPathFromPIDL(pidl, place.path);
    place.removable = place.hasPath && IsRemovable(place.path);
    return place;
}

TLauncherShell::FolderPlace TLauncherShell::PlaceOfEntry(int index) {
    // Asking the shell for a path binds the folder's parents one by one.
    auto known = knownPaths_.find(index);
    if (known == knownPaths_.end())
        return PlaceOf(ItemIdPool[index]);
    return {true, known->second, IsRemovable(known->second)};
}

std::wstring TLauncherShell::KnownPath(int index) const {
    auto known = knownPaths_.find(index);
    return known == knownPaths_.end() ? std::wstring() : known->second;
}

void TLauncherShell::BeginPopup() {
    monitorRect_.reset();
    removableDrives_.Forget(); // a drive letter may have been given to another device
}

bool TLauncherShell::IsRemovable(const std::wstring& path) {
    return removableDrives_.IsRemovable(path);
}

const RECT& TLauncherShell::MonitorRect() {
    if (!monitorRect_)
        monitorRect_ = MenuMonitor ? MenuMonitor() : PrimaryMonitorRect();
    return *monitorRect_;
}

bool TLauncherShell::MediumMissing(const FolderPlace& place) const {
    return place.removable && !(DriveReady && DriveReady(ExtractFileDrive(place.path) + L"\\"));
}

TLauncherShell::ReadOutcome
TLauncherShell::ReadFolder(PCIDLIST_ABSOLUTE pidl, SHCONTF flags,
                           const std::function<bool(FolderChild&)>& visit) {
    // The desktop's own path is of no use to its read (see below).
    return ReadFolder(pidl, IsDesktopPIDL(pidl) ? FolderPlace{} : PlaceOf(pidl), flags, visit);
}

TLauncherShell::ReadOutcome
TLauncherShell::ReadFolder(PCIDLIST_ABSOLUTE pidl, const FolderPlace& place, SHCONTF flags,
                           const std::function<bool(FolderChild&)>& visit) {
    FolderFacts parent;
    // The desktop merges items of other folders (the common desktop, virtual folders): its
    // children's paths are not its own path joined with their names.
    parent.hasPath = place.hasPath && !IsDesktopPIDL(pidl);
    if (parent.hasPath) {
        parent.path = place.path;
        parent.removable = place.removable;
    }
    ComPtr<IShellFolder> folder = BindFolder(pidl);
    if (!folder)
        return ReadOutcome::Read; // nothing to list
    parent.folder = folder.Get();
    ComPtr<IEnumIDList> children;
    if (FAILED(folder->EnumObjects(OwnerWindow, flags, &children)))
        return ReadOutcome::NotStarted;
    IMalloc& allocator = *ShellMalloc.Get();
    TLinkReader links(allocator, removableDrives_);
    TIconClasses iconClasses(settings_.HideArrow);
    PITEMID_CHILD rawChild = nullptr;
    while (children && children->Next(1, &rawChild, nullptr) == S_OK) {
        UniquePidl child(allocator, reinterpret_cast<PIDLIST_ABSOLUTE>(rawChild));
        FolderChild entry;
        entry.links = &links;
        entry.iconClasses = &iconClasses;
        entry.caption = GetDisplayName(*folder.Get(), rawChild);
        entry.pidl = ConcatPIDL(allocator, pidl, rawChild);
        if (!entry.pidl)
            continue;
        entry.facts = ChildFacts(parent, rawChild, entry.pidl.get());
        entry.icon = iconClasses.Of(entry.facts);
        child.reset();
        if (!visit(entry))
            return ReadOutcome::Stopped;
    }
    return ReadOutcome::Read;
}

bool TLauncherShell::ReadsThroughFileSystem(PCIDLIST_ABSOLUTE pidl, const FolderPlace& place) {
    return place.hasPath && (!pidl || place.path.size() >= MAX_PATH);
}

TLauncherShell::ReadOutcome
TLauncherShell::ReadFileSystemFolder(const FolderPlace& place, SHCONTF flags,
                                     const std::function<bool(FolderChild&)>& visit) {
    std::wstring pattern = LongPathForm(place.path);
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return ReadOutcome::NotStarted;
    TLinkReader links(*ShellMalloc.Get(), removableDrives_);
    TIconClasses iconClasses(settings_.HideArrow);
    ReadOutcome outcome = ReadOutcome::Read;
    do {
        const std::wstring name = data.cFileName;
        const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name == L"." || name == L".." ||
            ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && !(flags & SHCONTF_INCLUDEHIDDEN)) ||
            !(flags & (folder ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS)))
            continue;
        FolderChild child;
        child.links = &links;
        child.iconClasses = &iconClasses;
        child.caption = FileSystemDisplayName(name, folder);
        child.facts =
            GetFileSystemFacts(JoinPath(place.path, name), data.dwFileAttributes, place.removable);
        child.icon = iconClasses.Of(child.facts);
        child.icon.pathOnly = true;
        if (!visit(child)) {
            outcome = ReadOutcome::Stopped;
            break;
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return outcome;
}

LinkTarget TLauncherShell::ResolveChildLink(FolderChild& child) {
    const ShellItemFacts& facts = child.facts;
    if (!facts.hasPath || !facts.IsLink() || !child.links)
        return {};
    LinkTarget target = child.links->Resolve(facts.path);
    child.icon.TakeLink(target);
    if (child.iconClasses && child.icon.sharedClass.empty())
        child.icon.sharedClass = child.iconClasses->OfLinkTarget(target);
    return target;
}

void TLauncherShell::GetSubItems2(TMenuItem*& item) {
    TMenuItem* open = item->Count() > 0 ? item->Items(0) : nullptr;
    if (!open)
        return;
    if (!settings_.DoNotCheckItemsEveryTime && open->Hint == kOpenedMark)
        return;
    const PCIDLIST_ABSOLUTE folderPidl = ItemIdPool[static_cast<int>(open->Tag)];

    const FolderPlace place = PlaceOfEntry(static_cast<int>(open->Tag));
    const bool hasPath = place.hasPath;
    if (hasPath) {
        if (MediumMissing(place))
            return;
        if (!IsDirAccessible(place.path))
            return;
    }

    BusyCursor busy;
    std::vector<NamedPidl> folders, files;
    const bool isControlPanel = SameFolder(ControlPanelPIDL, folderPidl);
    const bool sorted = hasPath || isControlPanel || SameFolder(RecycleBinPIDL, folderPidl);
    bool hintOn = false;
    auto finish = [&] {
        if (hintOn)
            HintOff();
        UpdateEmptyMarker(*item);
    };

    int total = 0;
    int n = 0;
    TAssociatedExtCache unassociated;
    const std::function<bool(FolderChild&)> collect = [&](FolderChild& child) {
        const ShellItemFacts& facts = child.facts;
        std::vector<NamedPidl>* into = nullptr;
        UniquePidl target; // a shortcut's folder, standing in for it (showing its icon)
        // Kept for a folder (asked again otherwise when it opens) and for an item without list.
        const std::wstring knownPath = facts.IsFolder() || !child.pidl ? facts.path : L"";
        std::wstring targetPath;
        if (facts.IsFolder()) {
            into = &folders;
        } else if (facts.IsLink() || !settings_.DoNotViewUnassociatedItems || !facts.hasPath) {
            LinkTarget link = ResolveChildLink(child);
            if (facts.IsLink() && IsLinkTargetFolder(link)) {
                into = &folders;
                target = std::move(link.pidl);
                targetPath = link.path;
            } else {
                into = &files;
            }
        } else if (IsAssociatedPath(AssociatedExtCache, facts.path, &unassociated)) {
            into = &files;
        }
        if (into) {
            if (target)
                into->push_back(
                    {child.caption, std::move(target), child.icon.ForTarget(targetPath)});
            else
                into->push_back({child.caption, std::move(child.pidl), child.icon, knownPath});
            ++total;
        }

        ++n;
        if (n > settings_.ShowHintFrom) {
            if (!hintOn) {
                HintOn();
                hintOn = true;
            } else if (n % 10 == 0) {
                HintShow(Title + L" - " + std::to_wstring(n) + L"項目を読み取り中([ESC]で中断)");
            }
        }
        return !Escape();
    };
    const ReadOutcome outcome = ReadsThroughFileSystem(folderPidl, place)
                                    ? ReadFileSystemFolder(place, FolderEnumFlags, collect)
                                    : ReadFolder(folderPidl, place, FolderEnumFlags, collect);
    if (outcome != ReadOutcome::Read) {
        finish();
        return;
    }
    if (sorted) {
        SortAndMerge(folders);
        SortAndMerge(files);
    }

    if (AreItemsSame(*item, CaptionLines(folders, files))) {
        finish();
        return;
    }
    ResetMenuItem(*item);
    const int folderCount = static_cast<int>(folders.size());
    auto adding = [&](int number) {
        if (hintOn)
            HintShow(Title + L" - " + std::to_wstring(number) + L"/" + std::to_wstring(total) +
                     L"項目を追加中([ESC]で中断)");
    };
    for (int i = 0; i < folderCount; ++i) {
        NamedPidl& entry = folders[i];
        if (isControlPanel && GetSubItemCount(entry.pidl.get()) == 0)
            AddFile(*item, entry.caption, std::move(entry.pidl), entry.icon);
        else
            AddFolder(*item, entry.caption, std::move(entry.pidl), entry.icon, entry.path);
        if (i % 10 == 0)
            adding(i + 1);
        if (Escape()) {
            RebuildMenuItem(item);
            finish();
            return;
        }
    }
    for (int j = 0; j < static_cast<int>(files.size()); ++j) {
        AddFile(*item, files[j].caption, std::move(files[j].pidl), files[j].icon, files[j].path);
        const int m = folderCount + j + 1;
        if (m % 10 == 0)
            adding(m);
        if (Escape()) {
            RebuildMenuItem(item);
            finish();
            return;
        }
    }
    BreakMenu(*item);
    item->Items(0)->Hint = kOpenedMark;
    finish();
}

int TLauncherShell::GetSubItemCount(PCIDLIST_ABSOLUTE pidl) {
    if (MediumMissing(PlaceOf(pidl)))
        return 0;
    ComPtr<IShellFolder> folder = BindFolder(pidl);
    ComPtr<IEnumIDList> children;
    if (!folder || FAILED(folder->EnumObjects(OwnerWindow, FolderEnumFlags, &children)) ||
        !children)
        return 0;
    int count = 0;
    PITEMID_CHILD child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) {
        UniquePidl owned(*ShellMalloc.Get(), reinterpret_cast<PIDLIST_ABSOLUTE>(child));
        ++count;
    }
    return count;
}

void TLauncherShell::InsertChildHeader(TMenuItem& item) {
    auto open = std::make_unique<TMenuItem>(item.Caption);
    open->Tag = item.Tag;
    open->OnClick = ItemClick;
    open->OnDrawItem = DrawItem;
    item.Add(std::move(open));
    item.Add(std::make_unique<TMenuItem>(L"-"));
    auto marker = std::make_unique<TMenuItem>(kEmptyMarker);
    marker->Enabled = false;
    item.Add(std::move(marker));
}

TMenuItem* TLauncherShell::AddFolder(TMenuItem& parent, const std::wstring& caption,
                                     UniquePidl pidl, const IconHint& icon,
                                     const std::wstring& path) {
    auto folder = std::make_unique<TMenuItem>(caption);
    IconHint folderIcon = icon;
    folderIcon.standIn = IconStandIn::Folder; // whatever it was read as (a Control Panel item)
    SavePIDLToTag(*folder, std::move(pidl), folderIcon);
    if (!path.empty())
        RememberPath(static_cast<int>(folder->Tag), path);
    folder->OnClick = FolderClick;
    folder->OnDrawItem = DrawItem;
    InsertChildHeader(*folder);
    return parent.Add(std::move(folder));
}

TMenuItem* TLauncherShell::AddFile(TMenuItem& parent, const std::wstring& caption, UniquePidl pidl,
                                   const IconHint& icon, const std::wstring& path) {
    auto file = std::make_unique<TMenuItem>(caption);
    const bool pathOnly = !pidl && !path.empty();
    SavePIDLToTag(*file, std::move(pidl), icon);
    if (pathOnly)
        RememberPath(static_cast<int>(file->Tag), path);
    file->OnClick = ItemClick;
    file->OnDrawItem = DrawItem;
    return parent.Add(std::move(file));
}

void TLauncherShell::MarkUnread(TMenuItem& folder) {
    if (folder.Count() > 0 && folder.Items(0)->Hint == kOpenedMark)
        folder.Items(0)->Hint.clear();
}

void TLauncherShell::UpdateEmptyMarker(TMenuItem& item) {
    if (item.Count() > 2)
        item.Items(2)->Visible = item.Count() == 3;
}

bool TLauncherShell::AreItemsSame(const TMenuItem& item, const std::wstring& text) {
    std::wstring shown;
    for (int i = 3; i < item.Count(); ++i)
        shown += item.Items(i)->Caption + L"\r\n";
    return shown == text;
}

void TLauncherShell::ResetMenuItem(TMenuItem& item) {
    while (item.Count() > 3)
        item.Delete(item.Count() - 1);
    if (item.Count() > 0)
        item.Items(0)->Hint.clear();
    if (item.Count() > 2)
        item.Items(2)->Visible = true;
}

void TLauncherShell::RebuildMenuItem(TMenuItem*& item) {
    TMenuItem* parent = item->Parent();
    if (!parent) {
        // Nothing to put a new item into: make this one unread instead.
        ResetMenuItem(*item);
        return;
    }
    ::LockWindowUpdate(::GetDesktopWindow());
    const INT_PTR tag = item->Tag;
    const int position = item->MenuIndex();
    const std::wstring caption = item->Caption;
    parent->Delete(position);
    auto fresh = std::make_unique<TMenuItem>(caption);
    fresh->Tag = tag;
    fresh->OnClick = FolderClick;
    fresh->OnDrawItem = DrawItem;
    item = parent->Insert(position, std::move(fresh));
    InsertChildHeader(*item);
    ::LockWindowUpdate(nullptr);
}

int TLauncherShell::MenuItemHeight() const {
    // The height the items are measured at; the menu bar's height (SM_CYMENU) is no item's.
    return TPopupMenu::DefaultItemHeight(SmallIconSize(MenuDpi), MenuDpi);
}

void TLauncherShell::BreakMenu(TMenuItem& item) {
    const int height = MonitorRect().bottom - MonitorRect().top;
    const int perColumn = std::max(1, (height - ScaleForDpi(16, MenuDpi)) / MenuItemHeight());
    int visible = 0;
    for (int i = 0; i < item.Count(); ++i) {
        TMenuItem* child = item.Items(i);
        if (child->Visible)
            ++visible;
        if ((visible - 1) % perColumn == 2)
            child->Break = true;
    }
}

void TLauncherShell::HintOn() {
    if (!ProgressHint)
        return;
    ProgressHint->Dpi = MenuDpi;
    const SIZE size = ProgressHint->TextExtent(Title + L" - 000/000項目を処理中([ESC]で中断)");
    // At the bottom right of the screen the menu is on.
    const RECT& screen = MonitorRect();
    const int above = ScaleForDpi(16, MenuDpi);
    progressHintRect_ = {screen.right - size.cx, screen.bottom - size.cy - above, screen.right,
                         screen.bottom - above};
}

void TLauncherShell::HintShow(const std::wstring& text) {
    if (!ProgressHint)
        return;
    progressHintRect_.right =
        progressHintRect_.left + ProgressHint->TextExtent(text).cx + ScaleForDpi(6, MenuDpi);
    ProgressHint->ActivateHint(progressHintRect_, text);
}

void TLauncherShell::HintOff() {
    if (ProgressHint)
        ProgressHint->ReleaseHandle();
}

} // namespace tolvern
