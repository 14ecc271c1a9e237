// The launcher menu: its fixed top-level items, the six special-folder submenus, the My Menu
// entries with their icons, and the painting of submenu items.
#include "menu/launcher_menu.h"

#include "base/dpi.h"
#include "base/registry_ini.h"
#include "base/unique_handle.h"
#include "menu/item_icons.h"
#include "menu/stock_images.h"
#include "settings/launcher_messages.h"

#include <stdexcept>

namespace tolvern {

namespace {

constexpr wchar_t kShowDesktop[] = L"デスクトップの表示(&V)";
constexpr wchar_t kRestoreWindows[] = L"ウィンドウの復元(&R)";
constexpr wchar_t kNoItem[] = L"(なし)";
// The top level ends with: separator, Settings, separator, Exit Windows.
constexpr int kItemsAfterEntries = 4;

// What is known of a folder's icon before it is read: its kind.
IconHint FolderIcon() {
    IconHint hint;
    hint.standIn = IconStandIn::Folder;
    return hint;
}

std::wstring ShellFoldersValue(const wchar_t* name) {
    std::wstring value;
    ReadRegistryText(HKEY_CURRENT_USER,
                     L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                     value);
    return value;
}

} // namespace

void SetUpLauncherPopup(TBarPopupMenu& menu) {
    menu.AutoPopup = false;
    menu.OwnerDraw = true;
    menu.MenuAnimation = maLeftToRight | maRightToLeft | maTopToBottom | maBottomToTop;
    menu.BarWidth = 28;
    menu.GradientStart = clBlack;
    menu.GradientEnd = clTeal;
    menu.VerticalFont.Name = L"Arial";
    menu.VerticalFont.Height = -19;
    menu.VerticalFont.Color = clWhite;
    menu.VerticalFont.Style = fsBold | fsItalic;
    menu.VerticalFont.Charset = SHIFTJIS_CHARSET;
}

TLauncherMenu::TLauncherMenu(TComponent* owner, TLauncherShell& shell,
                             const LauncherSettings& settings)
    : PopupMenu2(owner), shell_(shell), settings_(settings) {
    SpecialFolderLocation = [this](int csidl, PIDLIST_ABSOLUTE* pidl) {
        return ::SHGetSpecialFolderLocation(OwnerWindow, csidl, pidl);
    };
    UseIconsForDpi(SystemDpi());

    SetUpLauncherPopup(PopupMenu2);
    PopupMenu2.Images = &ImageList_small;
    PopupMenu2.OnPopup = [this](TPopupMenu*) { PopupMenu2Popup(); };

    // Items that the folder reads create take their handlers from here.
    shell_.FolderClick = [this](TMenuItem* sender) { PopupMenu_FolderClick(sender); };
    shell_.ItemClick = [this](TMenuItem* sender) {
        if (PopupMenu_ItemClick)
            PopupMenu_ItemClick(sender);
    };
    shell_.DrawItem = [this](TMenuItem* sender, TCanvas& canvas, const RECT& rect, bool selected) {
        PopupMenu_DrawItem(sender, canvas, rect, selected);
    };
    // Names first, icons after: what is opened or closed decides which icons are fetched.
    shell_.Icons.Arrived = [this] { RepaintArrivedIcons(); };
    PopupMenu2.OnSubmenuOpen = [this](TMenuItem* owner) { QueueIcons(owner); };
    PopupMenu2.OnSubmenuClose = [this](TMenuItem* owner) {
        std::erase_if(standIns_, [owner](const StandInItem& shown) {
            return shown.life.expired() || shown.item->Parent() == owner;
        });
        QueueIcons(nullptr);
    };
    PopupMenu2.OnClose = [this](TPopupMenu*) {
        shell_.Icons.Cancel();
        standIns_.clear();
    };

    auto forward = [this](TMenuItem::TNotifyEvent TLauncherMenu::*handler) {
        return [this, handler](TMenuItem* sender) {
            if (this->*handler)
                (this->*handler)(sender);
        };
    };
    auto draw = [this](TMenuItem* sender, TCanvas& canvas, const RECT& rect, bool selected) {
        PopupMenu_DrawItem(sender, canvas, rect, selected);
    };
    TMenuItem& top = PopupMenu2.Items;
    mnuPopupShowDesktop = AddFixed(top, kShowDesktop);
    mnuPopupShowDesktop->Default = true;
    mnuPopupShowDesktop->OnClick = forward(&TLauncherMenu::mnuPopupShowDesktopClick);
    N5 = AddFixed(top, L"-");
    mnuPopupRunSep = AddFixed(top, L"-");
    mnuPopupNoItem = AddFixed(top, kNoItem);
    mnuPopupNoItem->Enabled = false;
    MenuItem1 = AddFixed(top, L"-");
    S2 = AddFixed(top, L"設定(&S)", kImageSettings);
    S2->Tag = -1;
    S2->SubMenuImages = &ImageList_small;
    mnuPopupSettings = AddFixed(*S2, L"設定(&S)...", kImageSettings);
    mnuPopupSettings->OnClick = forward(&TLauncherMenu::mnuPopupSettingsClick);
    mnuPopupHelp = AddFixed(*S2, L"ヘルプ(&H)", kImageHelp);
    mnuPopupHelp->OnClick = forward(&TLauncherMenu::mnuPopupHelpClick);
    mnuPopupExit = AddFixed(*S2, L"常駐終了(&X)", kImageExit);
    mnuPopupExit->OnClick = forward(&TLauncherMenu::mnuPopupExitClick);
    N6 = AddFixed(*S2, L"-");
    About1 = AddFixed(*S2, L"バージョン情報(&A)...", kImageAbout);
    About1->OnClick = forward(&TLauncherMenu::About1Click);
    for (TMenuItem* item : {mnuPopupSettings, mnuPopupHelp, mnuPopupExit, About1})
        item->OnDrawItem = draw;
    MenuItem2 = AddFixed(top, L"-");
    mnuPopupExitWindows = AddFixed(top, L"Windows の終了(&U)...", kImageExitWindows);
    mnuPopupExitWindows->OnClick = forward(&TLauncherMenu::mnuPopupExitWindowsClick);
}

TLauncherMenu::~TLauncherMenu() {
    shell_.Icons.Arrived = nullptr;
}

TMenuItem* TLauncherMenu::AddFixed(TMenuItem& parent, const wchar_t* caption, int image) {
    TMenuItem* item = parent.Add(std::make_unique<TMenuItem>(caption));
    item->ImageIndex = image;
    return item;
}

PIDLIST_ABSOLUTE TLauncherMenu::RequiredFolder(int csidl) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SpecialFolderLocation(csidl, &pidl)) || !pidl)
        throw std::runtime_error("special folder " + std::to_string(csidl) + " is missing");
    return pidl;
}

UniquePidl TLauncherMenu::OptionalFolder(int csidl, const wchar_t* shellFoldersValue) {
    IMalloc& allocator = *shell_.ShellMalloc.Get();
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (SUCCEEDED(SpecialFolderLocation(csidl, &pidl)) && pidl)
        return UniquePidl(allocator, pidl);
    // The shell's own record of the folder's path, for systems that lack the special folder.
    if (shellFoldersValue) {
        const std::wstring path = ShellFoldersValue(shellFoldersValue);
        if (!path.empty())
            return GetPIDLFromPath(*shell_.DesktopFolder.Get(), allocator, path);
    }
    return UniquePidl();
}

void TLauncherMenu::PreparePIDLs() {
    shell_.PrepareShell();
    IMalloc& allocator = *shell_.ShellMalloc.Get();
    pending_.desktop = UniquePidl(allocator, RequiredFolder(CSIDL_DESKTOP));
    DrivesPIDL = UniquePidl(allocator, RequiredFolder(CSIDL_DRIVES));
    NetworkPIDL = UniquePidl(allocator, RequiredFolder(CSIDL_NETWORK));
    RecycleBinPIDL = UniquePidl(allocator, RequiredFolder(CSIDL_BITBUCKET));
    ControlPanelPIDL = UniquePidl(allocator, RequiredFolder(CSIDL_CONTROLS));
    pending_.programs = UniquePidl(allocator, RequiredFolder(CSIDL_PROGRAMS));
    CommonProgramsPIDL =
        NTPlatform ? UniquePidl(allocator, RequiredFolder(CSIDL_COMMON_PROGRAMS)) : UniquePidl();
    shell_.ControlPanelPIDL = ControlPanelPIDL.get();
    shell_.RecycleBinPIDL = RecycleBinPIDL.get();
    shell_.CommonProgramsPIDL = CommonProgramsPIDL.get();

    pending_.recent = OptionalFolder(CSIDL_RECENT, nullptr);
    RecentUnavailable = RecentUnavailable || !pending_.recent;
    pending_.favorites = OptionalFolder(CSIDL_FAVORITES, nullptr);
    FavoritesUnavailable = FavoritesUnavailable || !pending_.favorites;
    pending_.personal = OptionalFolder(CSIDL_PERSONAL, L"Personal");
    MyDocumentsUnavailable = MyDocumentsUnavailable || !pending_.personal;
    pending_.history = OptionalFolder(CSIDL_HISTORY, L"History");
    HistoryUnavailable = HistoryUnavailable || !pending_.history;

    for (const std::wstring& dir : {GetWindowsDir(), GetSystemDir()}) {
        if (!dir.empty() && FileExists(dir + L"desk.cpl")) {
            DeskCplPIDL =
                GetPIDLFromPath(*shell_.DesktopFolder.Get(), allocator, dir + L"desk.cpl");
            break;
        }
    }
}

int TLauncherMenu::GetBothIcon(PCIDLIST_ABSOLUTE pidl) {
    // The maker keeps a list of its own: it may be asked again after the item's list is gone.
    std::shared_ptr<ITEMIDLIST_ABSOLUTE> own(::ILCloneFull(pidl),
                                             [](ITEMIDLIST_ABSOLUTE* copy) { ::ILFree(copy); });
    return AddBothIcons([this, own](int size) {
        return GetItemIcon(*shell_.ShellMalloc.Get(), own.get(), size, settings_.HideArrow,
                           CommonProgramsPIDL.get());
    });
}

int TLauncherMenu::GetBothIcon(const std::wstring& pathOnly, bool folder) {
    IconRequest request;
    request.hint = folder ? FolderIcon() : IconHint();
    request.hint.path = pathOnly;
    request.hint.pathOnly = true;
    request.hideArrow = settings_.HideArrow;
    return AddBothIcons([this, request](int size) mutable {
        request.size = size;
        return FetchItemIcon(*shell_.ShellMalloc.Get(), request).icon;
    });
}

int TLauncherMenu::AddBothIcons(IconMaker make) {
    const int index = AddIconsMadeBy(make);
    iconMakers_.push_back(std::move(make));
    return index;
}

int TLauncherMenu::AddIconsMadeBy(const IconMaker& make) {
    // The two lists must grow in step: an icon the shell cannot give is replaced by the
    // question mark, so that one index keeps meaning the same picture in both.
    auto add = [&](TImageList& list) {
        UniqueIcon icon(make(list.Width()));
        int index = icon ? list.AddIcon(icon.get()) : -1;
        if (index < 0) {
            UniqueIcon fallback(list.GetIcon(kImageNoPath));
            index = list.AddIcon(fallback.get());
        }
        return index;
    };
    add(ImageList_Large);
    return add(ImageList_small);
}

TMenuItem* TLauncherMenu::MakeSpecialItem(const wchar_t* caption, const wchar_t* openCaption,
                                          UniquePidl pidl, bool available,
                                          void (TLauncherMenu::*handler)(TMenuItem*)) {
    auto item = std::make_unique<TMenuItem>();
    if (available) {
        shell_.SavePIDLToTag(*item, std::move(pidl), FolderIcon());
        item->Caption = caption;
        item->OnClick = [this, handler](TMenuItem* sender) { (this->*handler)(sender); };
        item->SubMenuImages = &ImageList_small;
    }
    shell_.InsertChildHeader(*item);
    item->Items(0)->Caption = openCaption;
    item->Visible = available;
    // Inserted in reverse order at position 2, so that they stand in order from 2 to 7.
    return PopupMenu2.Items.Insert(2, std::move(item));
}

void TLauncherMenu::PrepareTopLevelMenu() {
    auto poolList = [this](const TMenuItem* item) { return shell_.ItemIdPool[item->Tag]; };
    HistoryMenuItem =
        MakeSpecialItem(L"履歴(&H)", L"履歴", std::move(pending_.history), !HistoryUnavailable,
                        &TLauncherMenu::PopUpMenu_HistoryItemsClick);
    FavoritesMenuItem =
        MakeSpecialItem(L"お気に入り(&A)", L"お気に入り", std::move(pending_.favorites),
                        !FavoritesUnavailable, &TLauncherMenu::PopUpMenu_FavoriteItemsClick);
    RecentMenuItem = MakeSpecialItem(L"最近使ったファイル(&D)", L"最近使ったファイル",
                                     std::move(pending_.recent), !RecentUnavailable,
                                     &TLauncherMenu::PopupMenu_RecentItemsClick);
    MyDocumentsMenuItem = MakeSpecialItem(L"マイ ドキュメント(&M)", L"マイ ドキュメント",
                                          std::move(pending_.personal), !MyDocumentsUnavailable,
                                          &TLauncherMenu::PopupMenu_MyDocumentsClick);
    ProgramMenuItem =
        MakeSpecialItem(L"プログラム(&P)", L"プログラム", std::move(pending_.programs), true,
                        &TLauncherMenu::PopupMenu_ProgramClick);
    DesktopMenuItem =
        MakeSpecialItem(L"デスクトップ(&T)", L"画面のプロパティ", std::move(pending_.desktop), true,
                        &TLauncherMenu::PopupMenu_DesktopClick);

    DesktopPIDL = poolList(DesktopMenuItem);
    ProgramsPIDL = poolList(ProgramMenuItem);
    RecentPIDL = RecentUnavailable ? nullptr : poolList(RecentMenuItem);
    FavoritesPIDL = FavoritesUnavailable ? nullptr : poolList(FavoritesMenuItem);
    PersonalPIDL = MyDocumentsUnavailable ? nullptr : poolList(MyDocumentsMenuItem);
    HistoryPIDL = HistoryUnavailable ? nullptr : poolList(HistoryMenuItem);

    mnuPopupShowDesktop->ImageIndex = GetBothIcon(DesktopPIDL);
    DesktopMenuItem->ImageIndex = mnuPopupShowDesktop->ImageIndex;
    TMenuItem* displayProperties = DesktopMenuItem->Items(0);
    displayProperties->ImageIndex = kImageDisplayProperties;
    displayProperties->OnClick = [this](TMenuItem* sender) {
        if (PopupMenu_DeskCplClick)
            PopupMenu_DeskCplClick(sender);
    };
    for (TMenuItem* item :
         {ProgramMenuItem, MyDocumentsMenuItem, RecentMenuItem, FavoritesMenuItem, HistoryMenuItem})
        if (item->Visible)
            item->ImageIndex = GetBothIcon(poolList(item));
}

void TLauncherMenu::UpdateNoItem() {
    mnuPopupNoItem->Visible = rows_.empty();
}

void TLauncherMenu::AddIconToList(const std::wstring& caption, const std::wstring& path) {
    IMalloc& allocator = *shell_.ShellMalloc.Get();
    UniquePidl pidl = GetPIDLFromPath(*shell_.DesktopFolder.Get(), allocator, path);

    auto item = std::make_unique<TMenuItem>(DoubleAmpersands(caption));
    // A path the shell cannot name (too long for it) stands without list; a folder there is
    // read through the file system.
    const DWORD pathAttributes = pidl ? INVALID_FILE_ATTRIBUTES : PathAttributes(path);
    const bool pathOnly = !pidl && pathAttributes != INVALID_FILE_ATTRIBUTES;
    const bool pathOnlyFolder = pathOnly && (pathAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const bool folder = pidl && IsFolderItem(pidl.get());
    const bool linkToFolder = !folder && pidl && IsLinkToFolder(allocator, pidl.get());
    if (pathOnlyFolder) {
        IconHint icon = FolderIcon();
        icon.path = path;
        icon.pathOnly = true;
        shell_.SavePIDLToTag(*item, UniquePidl(), icon);
        shell_.RememberPath(static_cast<int>(item->Tag), path);
        item->OnClick = [this](TMenuItem* sender) { PopupMenu_FolderClick(sender); };
        item->SubMenuImages = &ImageList_small;
        shell_.InsertChildHeader(*item);
    } else if (folder || linkToFolder) {
        shell_.SavePIDLToTag(*item,
                             linkToFolder ? GetLinkPIDL(allocator, pidl.get())
                                          : CopyPIDL(allocator, pidl.get()),
                             FolderIcon());
        item->OnClick = [this](TMenuItem* sender) { PopupMenu_FolderClick(sender); };
        item->SubMenuImages = &ImageList_small;
        shell_.InsertChildHeader(*item);
    } else {
        shell_.SavePIDLToTag(*item, pidl ? CopyPIDL(allocator, pidl.get()) : UniquePidl());
        item->OnClick = [this](TMenuItem* sender) {
            if (PopupMenu_ItemClick2)
                PopupMenu_ItemClick2(sender);
        };
    }
    TMenuItem& top = PopupMenu2.Items;
    TMenuItem* added = top.Insert(top.Count() - kItemsAfterEntries, std::move(item));

    std::wstring fileSystemPath;
    int image = kImageNoPath;
    if (pidl && GetPathFromPIDL(pidl.get(), fileSystemPath))
        image = GetBothIcon(pidl.get());
    else if (pathOnly)
        image = GetBothIcon(path, pathOnlyFolder);
    added->ImageIndex = image;
    rows_.push_back({caption, path, std::move(pidl), image});
    UpdateNoItem();
    if (OnEntryAdded)
        OnEntryAdded(static_cast<int>(rows_.size()) - 1);
}

int TLauncherMenu::EntryRowOf(const TMenuItem* item) const {
    if (!item || item->Parent() != &PopupMenu2.Items)
        return -1;
    const int row = item->MenuIndex() - kFirstEntryPosition;
    return row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

PCIDLIST_ABSOLUTE TLauncherMenu::ShellItemOf(const TMenuItem* item) const {
    if (!item || item->IsLine() || !item->Enabled)
        return nullptr;
    if (const int row = EntryRowOf(item); row >= 0)
        return rows_[static_cast<size_t>(row)].Pidl.get();
    // Below the top level, everything but the settings submenu was read from the shell and
    // holds its list's pool index.
    const TMenuItem* parent = item->Parent();
    if (!parent || parent == &PopupMenu2.Items || parent == S2)
        return nullptr;
    return shell_.ItemIdPool[static_cast<int>(item->Tag)];
}

void TLauncherMenu::ClearMyMenu() {
    TMenuItem& top = PopupMenu2.Items;
    for (size_t i = 0; i < rows_.size(); ++i)
        top.Delete(kFirstEntryPosition);
    rows_.clear();
    UpdateNoItem();
    if (OnEntriesCleared)
        OnEntriesCleared();
}

void TLauncherMenu::RemoveEntry(int row) {
    PopupMenu2.Items.Delete(kFirstEntryPosition + row);
    rows_.erase(rows_.begin() + row);
    UpdateNoItem();
}

void TLauncherMenu::MoveEntry(int from, int to) {
    TMenuItem& top = PopupMenu2.Items;
    top.Insert(kFirstEntryPosition + to, top.Remove(top.Items(kFirstEntryPosition + from)));
    MyMenuRow row = std::move(rows_[from]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(row));
}

void TLauncherMenu::RenameEntry(int row, const std::wstring& caption) {
    rows_.at(row).Caption = caption;
    PopupMenu2.Items.Items(kFirstEntryPosition + row)->Caption = DoubleAmpersands(caption);
}

void TLauncherMenu::DeleteSpecialMenus() {
    for (TMenuItem** item : {&DesktopMenuItem, &ProgramMenuItem, &MyDocumentsMenuItem,
                             &RecentMenuItem, &FavoritesMenuItem, &HistoryMenuItem}) {
        if (*item)
            PopupMenu2.Items.Delete((*item)->MenuIndex());
        *item = nullptr;
    }
    ImageList_small.Truncate(kStockImageCount);
    ImageList_Large.Truncate(kStockImageCount);
    iconMakers_.clear();
}

void TLauncherMenu::ReleaseSpecialPIDLs() {
    shell_.ControlPanelPIDL = shell_.RecycleBinPIDL = shell_.CommonProgramsPIDL = nullptr;
    for (UniquePidl* pidl : {&DrivesPIDL, &NetworkPIDL, &RecycleBinPIDL, &ControlPanelPIDL,
                             &DeskCplPIDL, &CommonProgramsPIDL})
        pidl->reset();
    // What the pool owns goes with the pool.
    DesktopPIDL = ProgramsPIDL = RecentPIDL = FavoritesPIDL = PersonalPIDL = HistoryPIDL = nullptr;
}

void TLauncherMenu::RefreshIcons() {
    for (TMenuItem* item : {DesktopMenuItem, ProgramMenuItem, MyDocumentsMenuItem, RecentMenuItem,
                            FavoritesMenuItem, HistoryMenuItem})
        TLauncherShell::ResetMenuItem(*item);
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    for (const MyMenuRow& row : rows_)
        entries.emplace_back(row.Caption, row.Path);
    ClearMyMenu();
    for (const auto& [caption, path] : entries)
        AddIconToList(caption, path);
}

bool TLauncherMenu::IsAvailable(const TMenuItem* specialItem) const {
    if (specialItem == RecentMenuItem)
        return !RecentUnavailable;
    if (specialItem == FavoritesMenuItem)
        return !FavoritesUnavailable;
    if (specialItem == MyDocumentsMenuItem)
        return !MyDocumentsUnavailable;
    if (specialItem == HistoryMenuItem)
        return !HistoryUnavailable;
    return true;
}

void TLauncherMenu::SetSpecialMenuVisible(TMenuItem* item, bool visible) {
    // A special folder the shell does not have stays hidden whatever the option says.
    item->Visible = visible && IsAvailable(item);
}

void TLauncherMenu::SetLargeIcon(bool large) {
    PopupMenu2.Images = large ? &ImageList_Large : &ImageList_small;
    PopupMenu2.IconSize = large ? 32 : 16;
}

void TLauncherMenu::UseIconsForDpi(int dpi) {
    if (dpi == iconsDpi_)
        return;
    iconsDpi_ = dpi;
    ImageList_small.Resize(SmallIconSize(dpi), SmallIconSize(dpi));
    ImageList_Large.Resize(LargeIconSize(dpi), LargeIconSize(dpi));
    ImageList_small.Clear();
    ImageList_Large.Clear();
    AddStockImages(ImageList_small);
    AddStockImages(ImageList_Large);
    // Every image again at the new sizes, at its index: the items keep theirs.
    for (const IconMaker& make : iconMakers_)
        AddIconsMadeBy(make);
    // The folders' items take their icons again when next read.
    shell_.Icons.IconSize = SmallIconSize(dpi);
    if (DesktopMenuItem)
        for (TMenuItem* item : {DesktopMenuItem, ProgramMenuItem, MyDocumentsMenuItem,
                                RecentMenuItem, FavoritesMenuItem, HistoryMenuItem})
            TLauncherShell::ResetMenuItem(*item);
}

void TLauncherMenu::PopupMenu2Popup() {
    UseIconsForDpi(PopupMenu2.Dpi);
    shell_.MenuDpi = PopupMenu2.Dpi;
    shell_.BeginPopup();
    PopupMenu2.VerticalText = settings_.BannerText;
    PopupMenu2.VerticalFont.Name = settings_.BannerFontName;
    PopupMenu2.VerticalFont.Height = settings_.BannerFontHeight;
    PopupMenu2.VerticalFont.Color = settings_.BannerFontColor;
    PopupMenu2.VerticalFont.Style = static_cast<unsigned>(settings_.BannerFontStyle) & 0x0F;
    PopupMenu2.GradientStart = settings_.UpperColor;
    PopupMenu2.GradientEnd = settings_.BottomColor;
    mnuPopupShowDesktop->Caption = DesktopShown ? kRestoreWindows : kShowDesktop;
}

void TLauncherMenu::PopupMenu_DrawItem(TMenuItem* sender, TCanvas& canvas, const RECT& rect,
                                       bool selected) {
    canvas.Brush.Color = clMenu;
    canvas.FillRect(rect);
    canvas.Brush.Color = selected ? clHighlight : clMenu;

    // The icon: the parent's image list at the item's index, else the pool icon at its Tag,
    // borrowed for this one painting.
    HICON borrowed = nullptr;
    UniqueIcon fromList;
    const TMenuItem* parent = sender->Parent();
    if (sender->ImageIndex != -1) {
        if (parent && parent->SubMenuImages)
            fromList.reset(parent->SubMenuImages->GetIcon(sender->ImageIndex));
    } else {
        bool own = true;
        borrowed = shell_.Icons.ToPaint(static_cast<int>(sender->Tag), own);
        if (!own)
            NoteStandIn(sender);
    }
    const HICON icon = fromList ? fromList.get() : borrowed;

    const bool office97 = PopupMenu2.DrawStyle == 1;
    RECT background = rect;
    if (office97)
        background.left = rect.left + PopupMenu2.Scaled(20);
    canvas.FillRect(background);

    RECT text = rect;
    text.left = rect.left + PopupMenu2.Scaled(22);
    text.top = rect.top + (rect.bottom - rect.top + canvas.Font.Height) / 2;
    canvas.SetTransparentText(true);
    canvas.DrawText(sender->Caption, text, 0);

    const int iconSize = ImageList_small.Width();
    if (icon)
        ::DrawIconEx(canvas.Handle(), rect.left + PopupMenu2.Scaled(1),
                     rect.top + PopupMenu2.Scaled(1), icon, iconSize, iconSize, 0, nullptr,
                     DI_NORMAL);
    if (office97) {
        RECT frame{rect.left, rect.top, rect.left + PopupMenu2.Scaled(19), rect.bottom};
        if (selected) {
            ::DrawEdge(canvas.Handle(), &frame, BDR_RAISEDINNER, BF_RECT);
        } else {
            canvas.Brush.Color = clMenu;
            canvas.FrameRect(frame);
        }
    }
}

void TLauncherMenu::NoteStandIn(TMenuItem* item) {
    for (const StandInItem& shown : standIns_)
        if (shown.item == item && !shown.life.expired())
            return;
    standIns_.push_back({item, item->LifeToken()});
}

void TLauncherMenu::RepaintArrivedIcons() {
    std::vector<const TMenuItem*> ready;
    std::erase_if(standIns_, [&](const StandInItem& shown) {
        if (shown.life.expired())
            return true;
        if (!shell_.Icons.Known(static_cast<int>(shown.item->Tag)))
            return false;
        ready.push_back(shown.item);
        return true;
    });
    PopupMenu2.RepaintItems(ready);
}

void TLauncherMenu::QueueIcons(const TMenuItem* opened) {
    shell_.Icons.Cancel();
    if (opened)
        shell_.Icons.HoldForPainting();
    std::vector<int> indices;
    for (const StandInItem& shown : standIns_)
        if (!shown.life.expired())
            indices.push_back(static_cast<int>(shown.item->Tag));
    for (int i = 0; opened && i < opened->Count(); ++i) {
        const TMenuItem* child = opened->Items(i);
        if (child->Visible && child->OnDrawItem && child->ImageIndex == -1)
            indices.push_back(static_cast<int>(child->Tag));
    }
    shell_.Icons.Queue(indices);
}

void TLauncherMenu::Guarded(void (TLauncherMenu::*builder)()) {
    if (MenuBuilding)
        return;
    MenuBuilding = true;
    try {
        (this->*builder)();
    } catch (...) {
        MenuBuilding = false;
        throw;
    }
    MenuBuilding = false;
}

void TLauncherMenu::PopupMenu_DesktopClick(TMenuItem*) {
    Guarded(&TLauncherMenu::BuildDesktopMenu);
}
void TLauncherMenu::PopupMenu_ProgramClick(TMenuItem*) {
    Guarded(&TLauncherMenu::BuildProgramMenu);
}
void TLauncherMenu::PopupMenu_MyDocumentsClick(TMenuItem*) {
    Guarded(&TLauncherMenu::BuildMyDocumentsMenu);
}
void TLauncherMenu::PopupMenu_RecentItemsClick(TMenuItem*) {
    Guarded(&TLauncherMenu::BuildRecentMenu);
}
void TLauncherMenu::PopUpMenu_FavoriteItemsClick(TMenuItem*) {
    Guarded(&TLauncherMenu::BuildFavoritesMenu);
}
void TLauncherMenu::PopUpMenu_HistoryItemsClick(TMenuItem*) {
    Guarded(&TLauncherMenu::BuildHistoryMenu);
}

void TLauncherMenu::PopupMenu_FolderClick(TMenuItem* sender) {
    // Past the limit the submenu stays as it is; the launcher restarts after the popup.
    if (shell_.ItemIdPool.Count() > kItemIdPoolLimit) {
        if (shell_.MsgBox)
            shell_.MsgBox(MenuLimitMessage());
        return;
    }
    TMenuItem* item = sender;
    shell_.GetSubItems2(item);
}

} // namespace tolvern
