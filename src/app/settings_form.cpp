// TForm2: the settings dialog, and the owner of the launcher menu and of all launcher state.
#include "app/settings_form.h"

#include "app/foreground.h"
#include "app/tray_form.h"
#include "base/dpi.h"
#include "base/os_version.h"
#include "base/text.h"
#include "settings/about_box.h"
#include "settings/settings_store.h"
#include "settings/settings_dialog_ids.h"
#include "settings/startup_shortcut.h"
#include "framework/modal.h"

#include <commctrl.h>
#include <shellapi.h>

namespace tolvern {

TForm2::TForm2(Application& application, TForm1& trayForm, std::wstring settingsKeyPath,
               std::wstring startupFolder)
    : Form(application), trayForm_(trayForm), settingsKeyPath_(std::move(settingsKeyPath)),
      startupFolder_(std::move(startupFolder)) {
    trayForm_.Form2 = this;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    CreateFormFromTemplate(L"TForm2", IDD_SETTINGS);
    FitClientArea();
    // Centred in the work area of the primary monitor, where a program starts.
    RECT rect{};
    ::GetWindowRect(Handle(), &rect);
    const POINT centred =
        CentredIn(PrimaryMonitorRect(), SIZE{rect.right - rect.left, rect.bottom - rect.top});
    ::SetWindowPos(Handle(), nullptr, centred.x, centred.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    application.OnException = [this](std::exception_ptr error) {
        ApplicationEvents1Exception(error);
    };
    // An exception here is the program's to handle like any other: it ends the program
    // without saving, and the form stays valid for its destruction.
    try {
        FormCreate();
    } catch (...) {
        application.HandleException(std::current_exception());
    }
}

TForm2::~TForm2() {
    FormDestroy();
    Menu.OnEntryAdded = nullptr;
    Menu.OnEntriesCleared = nullptr;
    trayForm_.Form2 = nullptr;
    if (App().OnException)
        App().OnException = nullptr;
}

void TForm2::FormCreate() {
    LauncherReady = false;
    ConnectMenuCommands();
    ProgressHint = std::make_unique<THintWindow>(Handle());
    ProgressHint->Color = ::GetSysColor(COLOR_INFOBK);
    Shell.ProgressHint = ProgressHint.get();
    Shell.OwnerWindow = Handle();
    Shell.MenuMonitor = [this] { return MonitorRectAt(PopupMenu2.ShownAt()); };
    Shell.Title = App().Title();
    NTPlatform = IsWindowsNT();
    PreparePIDLs();
    PrepareTopLevelMenu();
    ::SetWindowTextW(Handle(), App().Title().c_str());
    CreatePages();
    LoadSettingsFromReg();
    SetHotKey();
    SetLauncherReady(true);
}

void TForm2::FormDestroy() {
    // A save that fails at exit is the program's error like any other, and must not stop the
    // rest of the clean-up (nor escape a destructor).
    if (!TerminatedByException) {
        try {
            SaveSettingsToReg();
        } catch (...) {
            App().HandleException(std::current_exception());
        }
    }
    Shell.EmptyPools();
    Menu.ReleaseSpecialPIDLs();
    DesktopFolder.Reset();
    ShellMalloc.Reset();
    AssociatedExtCache.Clear();
    ::UnregisterHotKey(Handle(), 0);
}

void TForm2::FitClientArea() {
    HWND dialog = Handle();
    frameDpi_.Attach(dialog);
    RECT client{}, window{};
    ::GetClientRect(dialog, &client);
    ::GetWindowRect(dialog, &window);
    // The pages are laid out in dialog units: the client area grows with them.
    const auto [width, height] =
        frameDpi_.ScaleLikeDialogUnits(SIZE{SETTINGS_CLIENT_WIDTH, SETTINGS_CLIENT_HEIGHT});
    // The frame keeps the size it has at the window's DPI.
    ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left - client.right + width,
                   window.bottom - window.top - client.bottom + height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutFrame(width - client.right, height - client.bottom);
}

void TForm2::LayOutFrame(int dx, int dy) {
    HWND dialog = Handle();
    auto bounds = [dialog](int id) {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT tab = bounds(IDC_PAGECONTROL1), close = bounds(IDC_CMDCLOSE);
    ::SetWindowPos(::GetDlgItem(dialog, IDC_PAGECONTROL1), nullptr, 0, 0, tab.right - tab.left + dx,
                   tab.bottom - tab.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(::GetDlgItem(dialog, IDC_CMDCLOSE), nullptr, close.left + dx, close.top + dy, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm2::DpiChanged(WPARAM wParam, LPARAM lParam) {
    const int oldDpi = frameDpi_.Dpi();
    RECT before{}, after{};
    ::GetClientRect(Handle(), &before);
    frameDpi_.Change(wParam, lParam);
    const int newDpi = frameDpi_.Dpi();
    // The suggested rectangle may give the client area a little more or less than the scaled
    // controls take.
    ::GetClientRect(Handle(), &after);
    LayOutFrame(after.right - RescaleForDpi(before.right, oldDpi, newDpi),
                after.bottom - RescaleForDpi(before.bottom, oldDpi, newDpi));
    if (PageControl1)
        PageControl1->ChangeDpi(newDpi);
}

void TForm2::CreatePages() {
    PageControl1 = std::make_unique<TPageControl>(::GetDlgItem(Handle(), IDC_PAGECONTROL1));
    MyMenuPage = std::make_unique<TMyMenuPage>(Handle(), *this);
    GeneralPage = std::make_unique<TGeneralPage>(Handle(), *this);
    StartupPage = std::make_unique<TStartupPage>(Handle(), *this);
    AppearancePage = std::make_unique<TAppearancePage>(Handle(), *this);
    for (TDialogPage* page : std::initializer_list<TDialogPage*>{
             MyMenuPage.get(), GeneralPage.get(), StartupPage.get(), AppearancePage.get()})
        PageControl1->AddPage(*page);
    PageControl1->SetActivePageIndex(0);
    Menu.OnEntryAdded = [this](int row) { MyMenuPage->EntryAdded(row); };
    Menu.OnEntriesCleared = [this] { MyMenuPage->EntriesCleared(); };
}

void TForm2::ShowModal() {
    if (IsVisible())
        return;
    TDisabledTaskWindows disabled; // taken before the dialog shows, so it stays enabled
    Show();
    ::SetForegroundWindow(Handle());
    FormShow();
    modalLoopRunning_ = true;
    MSG msg;
    while (IsVisible()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program ends: the outer loop must see the request too.
            ::PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
            Hide();
            break;
        }
        if (!PreTranslateDialogMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    modalLoopRunning_ = false;
    FormHide();
}

bool TForm2::PreTranslateDialogMessage(const MSG& msg) {
    if (PageControl1->PreTranslateMessage(msg))
        return true;
    if (TDialogPage* page = PageControl1->ActivePage(); page && page->PreTranslateMessage(msg))
        return true;
    return ::IsDialogMessageW(Handle(), const_cast<MSG*>(&msg)) != FALSE;
}

void TForm2::FormShow() {
    ::UnregisterHotKey(Handle(), 0); // no hot key while the dialog is open
    ::SetFocus(PageControl1->Handle());
}

void TForm2::FormHide() {
    // A key that another program holds is kept: the user hears of it, and may choose another.
    if (!SetHotKey())
        MsgBox(HotKeyNotRegisteredMessage(HotKeyDisplayText(settings_.HotKey)));
    SaveSettingsToReg();
}

void TForm2::cmdCloseClick() {
    Close();
}

int TForm2::EntryCount() const {
    return static_cast<int>(Menu.Rows().size());
}

MyMenuEntry TForm2::Entry(int row) const {
    const MyMenuRow& entry = Menu.Rows().at(row);
    return {entry.Caption, entry.Path};
}

int TForm2::EntryImage(int row) const {
    return Menu.Rows().at(row).ImageIndex;
}

bool TForm2::EntryIsLink(int row) const {
    const MyMenuRow& entry = Menu.Rows().at(row);
    return entry.Pidl && IsLinkItem(entry.Pidl.get());
}

HIMAGELIST TForm2::SmallImages() const {
    return Menu.ImageList_small.Handle();
}

void TForm2::RemoveEntry(int row) {
    Menu.RemoveEntry(row);
}

void TForm2::MoveEntry(int from, int to) {
    Menu.MoveEntry(from, to);
}

void TForm2::RenameEntry(int row, const std::wstring& caption) {
    Menu.RenameEntry(row, caption);
}

void TForm2::OpenEntry(int row) {
    Activation.FileExecEx(Menu.Rows().at(row).Pidl.get());
}

void TForm2::ShowEntryProperties(int row) {
    Activation.OpenProperty(Menu.Rows().at(row).Path);
}

void TForm2::ShowLinkTargetProperties(int row) {
    UniquePidl target = GetLinkPIDL(*ShellMalloc.Get(), Menu.Rows().at(row).Pidl.get());
    Activation.OpenProperty(target.get());
}

void TForm2::PreparePIDLs() {
    Menu.NTPlatform = NTPlatform;
    Menu.OwnerWindow = Handle();
    Menu.PreparePIDLs();
}

void TForm2::PrepareTopLevelMenu() {
    Menu.PrepareTopLevelMenu();
}

void TForm2::AddIconToList(const std::wstring& caption, const std::wstring& path) {
    Menu.AddIconToList(caption, path);
}

LauncherSettings TForm2::Settings() const {
    LauncherSettings settings = settings_;
    settings.MyMenu.clear();
    for (const MyMenuRow& row : Menu.Rows())
        settings.MyMenu.push_back({row.Caption, row.Path});
    return settings;
}

void TForm2::SetHideArrow(bool hideArrow) {
    settings_.HideArrow = hideArrow;
    Menu.RefreshIcons();
}

void TForm2::SetLargeIcon(bool largeIcon) {
    settings_.LargeIcon = largeIcon;
    Menu.SetLargeIcon(largeIcon);
}

void TForm2::SetMenuBannerWidth(int width) {
    settings_.MenuBannerWidth = width;
    Menu.SetBarWidth(width);
}

void TForm2::SetMenuDrawStyle(int style) {
    settings_.MenuDrawStyle = style;
    Menu.SetDrawStyle(style);
}

void TForm2::SetViewMenus(const LauncherSettings& views) {
    settings_.ViewDesktopMenu = views.ViewDesktopMenu;
    settings_.ViewProgramMenu = views.ViewProgramMenu;
    settings_.ViewMyDocumentsMenu = views.ViewMyDocumentsMenu;
    settings_.ViewRecentMenu = views.ViewRecentMenu;
    settings_.ViewFavoritesMenu = views.ViewFavoritesMenu;
    settings_.ViewHistoryMenu = views.ViewHistoryMenu;
    Menu.SetSpecialMenuVisible(Menu.DesktopMenuItem, views.ViewDesktopMenu);
    Menu.SetSpecialMenuVisible(Menu.ProgramMenuItem, views.ViewProgramMenu);
    Menu.SetSpecialMenuVisible(Menu.MyDocumentsMenuItem, views.ViewMyDocumentsMenu);
    Menu.SetSpecialMenuVisible(Menu.RecentMenuItem, views.ViewRecentMenu);
    Menu.SetSpecialMenuVisible(Menu.FavoritesMenuItem, views.ViewFavoritesMenu);
    Menu.SetSpecialMenuVisible(Menu.HistoryMenuItem, views.ViewHistoryMenu);
}

bool TForm2::SetStartup(bool startup) {
    settings_.Startup = startup;
    RegistryIni ini(HKEY_CURRENT_USER, settingsKeyPath_);
    // A Startup folder that cannot take the shortcut must not end the program; the caller
    // hears of it instead.
    return SUCCEEDED(MakeStartUpShortcut(ProgramFilePath(), startup, ini, startupFolder_));
}

void TForm2::SetDoNotViewHiddenItems(bool doNotViewHidden) {
    settings_.DoNotViewHiddenItems = doNotViewHidden;
    FolderEnumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
    if (!doNotViewHidden)
        FolderEnumFlags |= SHCONTF_INCLUDEHIDDEN;
}

// These take effect where they are read: at the next folder read, popup or hide.
void TForm2::SetDoNotViewUnassociatedItems(bool doNotViewUnassociated) {
    settings_.DoNotViewUnassociatedItems = doNotViewUnassociated;
}

void TForm2::SetDoNotCheckItemsEveryTime(bool checkEveryTime) {
    settings_.DoNotCheckItemsEveryTime = checkEveryTime;
}

void TForm2::SetShowHintFrom(int count) {
    settings_.ShowHintFrom = count;
}

void TForm2::SetAlwaysScrollMenus(bool alwaysScroll) {
    settings_.AlwaysScrollMenus = alwaysScroll;
    Menu.SetAlwaysScrollMenus(alwaysScroll);
}

void TForm2::SetHotKeyShortCut(ShortCut hotKey) {
    settings_.HotKey = hotKey;
}

void TForm2::SetPopupPos(const std::wstring& corner) {
    settings_.PopupPos = corner;
}

void TForm2::SetPopupOnSelPos(bool popupOnSelPos) {
    settings_.PopupOnSelPos = popupOnSelPos;
}

void TForm2::SetMoveCursor(bool moveCursor) {
    settings_.MoveCursor = moveCursor;
}

void TForm2::SetBannerText(const std::wstring& text) {
    settings_.BannerText = text;
}

void TForm2::SetBannerFont(const std::wstring& name, int height, ColorCode color, int style) {
    settings_.BannerFontName = name;
    settings_.BannerFontHeight = height;
    settings_.BannerFontColor = color;
    settings_.BannerFontStyle = style;
}

void TForm2::SetUpperColor(ColorCode color) {
    settings_.UpperColor = color;
}

void TForm2::SetBottomColor(ColorCode color) {
    settings_.BottomColor = color;
}

void TForm2::ApplyOptions(const LauncherSettings& o) {
    SetStartup(o.Startup);
    SetHotKeyShortCut(o.HotKey);
    SetPopupPos(o.PopupPos);
    SetPopupOnSelPos(o.PopupOnSelPos);
    SetMoveCursor(o.MoveCursor);
    SetViewMenus(o);
    SetDoNotViewUnassociatedItems(o.DoNotViewUnassociatedItems);
    SetDoNotViewHiddenItems(o.DoNotViewHiddenItems);
    SetDoNotCheckItemsEveryTime(o.DoNotCheckItemsEveryTime);
    SetShowHintFrom(o.ShowHintFrom);
    SetAlwaysScrollMenus(o.AlwaysScrollMenus);
    SetBannerText(o.BannerText);
    SetBannerFont(o.BannerFontName, o.BannerFontHeight, o.BannerFontColor, o.BannerFontStyle);
    SetUpperColor(o.UpperColor);
    SetBottomColor(o.BottomColor);
    SetMenuBannerWidth(o.MenuBannerWidth);
    SetMenuDrawStyle(o.MenuDrawStyle);
    SetHideArrow(o.HideArrow);
    SetLargeIcon(o.LargeIcon);
    if (GeneralPage)
        for (TOptionPage* page : std::initializer_list<TOptionPage*>{
                 GeneralPage.get(), StartupPage.get(), AppearancePage.get()})
            page->ShowOptions(settings_);
}

void TForm2::LoadSettingsFromReg() {
    RegistryIni ini(HKEY_CURRENT_USER, settingsKeyPath_);
    // With no choice stored yet, a Startup shortcut that is already there (the installer's) is
    // the choice, rather than being deleted by the default.
    LauncherSettings loaded = ReadLauncherSettings(ini, ProgramDirectory(), settings_.PopupPos,
                                                   StartupShortcutExists(startupFolder_));
    settings_.LastOpenedDir = loaded.LastOpenedDir;
    ApplyOptions(loaded);
    for (const MyMenuEntry& entry : loaded.MyMenu)
        AddIconToList(entry.Caption, entry.Path);
}

void TForm2::SaveSettingsToReg() {
    RegistryIni ini(HKEY_CURRENT_USER, settingsKeyPath_);
    WriteLauncherSettings(ini, Settings());
}

bool TForm2::SetHotKey() {
    // Ours from before would count as held by another.
    ::UnregisterHotKey(Handle(), 0);
    const ShortCut shortCut = settings_.HotKey;
    UINT modifiers = 0;
    if (shortCut & kShortCutShift)
        modifiers |= MOD_SHIFT;
    if (shortCut & kShortCutCtrl)
        modifiers |= MOD_CONTROL;
    if (shortCut & kShortCutAlt)
        modifiers |= MOD_ALT;
    // A field emptied by the user means no hot key at all.
    if (!(shortCut & 0xFF))
        return true;
    return ::RegisterHotKey(Handle(), 0, modifiers, shortCut & 0xFF) != FALSE;
}

void TForm2::ApplicationEvents1Exception(std::exception_ptr) {
    TerminatedByException = true;
    App().Terminate();
}

bool TForm2::IsOwnWindow(HWND window) const {
    // Every window of the program (the forms, the About box, the application window and the
    // components' hidden windows) belongs to the one user-interface thread.
    return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

bool TForm2::IsWindowToGoBackTo(HWND window) const {
    return tolvern::IsWindowToGoBackTo(FactsOfWindow(window, IsOwnWindow(window)));
}

HWND TForm2::mGetNextWindow() const {
    HWND foreground = ::GetForegroundWindow();
    if (!foreground || !IsOwnWindow(foreground))
        return foreground;
    return FindWindowBelow(foreground, [this](HWND w) { return IsWindowToGoBackTo(w); });
}

TCornerPlacement TForm2::PlaceAtChosenCorner(HWND userWindow, std::optional<POINT> at) {
    POINT pointer{};
    if (at)
        pointer = *at;
    else
        ::GetCursorPos(&pointer);
    const TScreenLayout layout = CurrentScreenLayout();
    const MonitorArea monitor = ChooseMonitor(layout, MonitorNamingRect(userWindow), pointer);
    const TCornerPlacement placement = PlaceAtCorner(
        PopupCornerFromName(settings_.PopupPos), monitor, layout.monitors,
        GetPopupHeight(PopupMenu2, monitor.dpi), ScaleForDpi(PopupMenu2.BarWidth, monitor.dpi));
    PopupMenu2.MenuAnimation = placement.animation;
    return placement;
}

void TForm2::PopupLauncherMenu(POINT at, HWND front, std::optional<POINT> cursorTarget,
                               bool alignRight) {
    ActivateWindow(front);
    if (cursorTarget)
        ::SetCursorPos(cursorTarget->x, cursorTarget->y);
    const int launches = Activation.LaunchCount();
    PopupMenu2.AlignRight = alignRight;
    PopupMenu2.Popup(at.x, at.y);
    // What the user opened keeps the foreground; otherwise it goes back where it was.
    if (Activation.LaunchCount() == launches)
        ActivateWindow(PreviousForegroundWindow);
    if (ItemIdPool.Count() > kItemIdPoolLimit)
        Restart();
}

void TForm2::WMHotKey() {
    // Not while the dialog is open; while the launcher is being built, once it is ready.
    if (IsVisible())
        return;
    if (!LauncherReady) {
        trayForm_.RememberPopup(TForm1::TPendingPopup::HotKey);
        return;
    }
    PreviousForegroundWindow = mGetNextWindow();
    const TCornerPlacement placement = PlaceAtChosenCorner(PreviousForegroundWindow);
    PopupLauncherMenu(placement.popupPoint, Handle(), std::nullopt, placement.alignRight);
}

void TForm2::SetLauncherReady(bool ready) {
    trayForm_.TaskTrayIcon1->SetIcon(ready ? trayForm_.imgON.get() : trayForm_.imgOFF.get());
    LauncherReady = ready;
    if (ready)
        trayForm_.LauncherBecameReady();
}

void TForm2::Restart() {
    SetLauncherReady(false);
    SaveSettingsToReg();
    Menu.ClearMyMenu();
    // The pool owns every list it holds, so all of them go, whatever the shell still knows.
    Shell.EmptyPools();
    Menu.ReleaseSpecialPIDLs();
    ShellMalloc.Reset();
    Menu.DeleteSpecialMenus();
    PreparePIDLs();
    PrepareTopLevelMenu();
    LoadSettingsFromReg();
    SetLauncherReady(true);
}

namespace {
// Wine's message box ignores MB_TOPMOST; the box is raised above every window as it activates.
LRESULT CALLBACK RaiseMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (WindowClassName(window) == L"#32770")
            ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

int TForm2::MsgBox(const std::wstring& text, UINT flags) {
    HWND owner = App().Handle();
    ActivateWindow(owner);
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, RaiseMessageBox, nullptr, ::GetCurrentThreadId());
    const int answer = ::MessageBoxW(owner, text.c_str(), kApplicationTitle,
                                     flags | MB_SETFOREGROUND | MB_TOPMOST);
    if (hook)
        ::UnhookWindowsHookEx(hook);
    if (!IsVisible())
        ActivateWindow(PreviousForegroundWindow);
    else
        ::SetForegroundWindow(Handle()); // the box was the application window's, not the dialog's
    return answer;
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        WMHotKey();
        return 0;
    }
    if (message == WM_QUERYENDSESSION)
        return TRUE;
    if (message == WM_DPICHANGED) {
        DpiChanged(wParam, lParam);
        return 0;
    }
    if (message == WM_WINDOWPOSCHANGED && modalLoopRunning_ &&
        (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW)) {
        // A hide from a sent message (a click sent by an accessibility tool, a hide from another
        // program) is handled inside the loop's wait, which returns only for a posted message:
        // wake it, so the save and the hot key follow the hide at once.
        ::PostMessageW(Handle(), WM_NULL, 0, 0);
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == IDC_CMDCLOSE || LOWORD(wParam) == IDCANCEL)) {
        cmdCloseClick(); // Esc closes as the close button does: there is nothing to cancel
        return 0;
    }
    if (message == WM_NOTIFY && PageControl1 &&
        PageControl1->Notify(*reinterpret_cast<const NMHDR*>(lParam)))
        return 0;
    if (message == WM_ENDSESSION) {
        // The session ends without our message loop finishing: save now, as an exit would.
        if (wParam && !TerminatedByException)
            SaveSettingsToReg();
        return 0;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

} // namespace tolvern
