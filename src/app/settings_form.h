// TForm2: the settings dialog, and the owner of the launcher menu and of all launcher state.
#pragma once

#include "app/item_context_menu.h"
#include "app/popup_placement.h"
#include "base/com.h"
#include "base/registry_ini.h"
#include "base/unique_handle.h"
#include "framework/dialog_dpi.h"
#include "framework/form.h"
#include "framework/hint_window.h"
#include "framework/page_control.h"
#include "menu/item_activation.h"
#include "menu/launcher_menu.h"
#include "menu/launcher_shell.h"
#include "settings/appearance_page.h"
#include "settings/general_page.h"
#include "settings/launcher_messages.h"
#include "settings/launcher_settings.h"
#include "settings/my_menu_host.h"
#include "settings/my_menu_page.h"
#include "settings/options_host.h"
#include "settings/startup_page.h"
#include "settings/startup_shortcut.h"

#include <shlobj.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvern {

class TForm1;
class TAboutBox;

// The dialog hosts the page control, the close button and the showing and hiding; each page
// is a class of its own that reaches the launcher through TForm2 (TMyMenuHost for My Menu,
// TOptionsHost for the option pages).
class TForm2 : public Form, public TMyMenuHost, public TOptionsHost {
    // Declared first: the members below are bound to them while they are constructed.
    TForm1& trayForm_;
    std::wstring settingsKeyPath_;
    std::wstring startupFolder_;
    LauncherSettings settings_;

public:
    // settingsKeyPath and startupFolder let tests use a scratch key and folder; the program
    // passes kSettingsKeyPath and the user's Startup folder.
    TForm2(Application& application, TForm1& trayForm,
           std::wstring settingsKeyPath = kSettingsKeyPath,
           std::wstring startupFolder = StartupFolderPath());
    ~TForm2() override;

    // Program-wide launcher state.
    bool LauncherReady = false;
    bool TerminatedByException = false;
    bool NTPlatform = false;
    // The window to give the foreground back to after a popup or a message box.
    HWND PreviousForegroundWindow = nullptr;
    TAboutBox* AboutBox = nullptr; // set once the About box exists
    // The shell engine's state; the names below are its members under their usual names.
    TLauncherShell Shell{settings_};
    TItemIdPool& ItemIdPool = Shell.ItemIdPool;
    TIconHandlePool& IconHandlePool = Shell.IconHandlePool;
    TAssociatedExtCache& AssociatedExtCache = Shell.AssociatedExtCache;
    std::unique_ptr<THintWindow> ProgressHint;
    ComPtr<IMalloc>& ShellMalloc = Shell.ShellMalloc;
    ComPtr<IShellFolder>& DesktopFolder = Shell.DesktopFolder;
    SHCONTF& FolderEnumFlags = Shell.FolderEnumFlags;
    // The launcher menu with its image lists, fixed items and special folders.
    TLauncherMenu Menu{this, Shell, settings_};
    TBarPopupMenu& PopupMenu2 = Menu.PopupMenu2;
    // What choosing a shell item does.
    TItemActivation Activation{Shell, Menu};
    // The context menu of an item, at a right click inside the launcher menu.
    TItemContextMenu ContextMenu{*this};

    void GetSubItems2(TMenuItem*& item) { Shell.GetSubItems2(item); }

    // The dialog: the page control with its pages in order, and the close button.
    std::unique_ptr<TPageControl> PageControl1;
    std::unique_ptr<TMyMenuPage> MyMenuPage;
    std::unique_ptr<TGeneralPage> GeneralPage;       // "全般"
    std::unique_ptr<TStartupPage> StartupPage;       // "起動"
    std::unique_ptr<TAppearancePage> AppearancePage; // "外見"
    HWND cmdClose() const { return ::GetDlgItem(Handle(), IDC_CMDCLOSE); }

    // Shows the dialog modally and returns once it is hidden again (closed).
    void ShowModal();
    void FormShow();
    void FormHide();
    void cmdCloseClick();

    // The options as the dialog's controls hold them, with the My Menu rows in list order.
    LauncherSettings Settings() const;
    // The live options (without the My Menu rows).
    const LauncherSettings& Options() const override { return settings_; }
    const std::wstring& SettingsKeyPath() const { return settingsKeyPath_; }

    void LoadSettingsFromReg();
    void SaveSettingsToReg() override;
    // Registers the hot key of the options (none for an empty one); false when the system
    // refused it (another program holds it).
    bool SetHotKey();
    void PreparePIDLs();
    void PrepareTopLevelMenu();
    // Adds one My Menu entry to the list and to the launcher menu.
    void AddIconToList(const std::wstring& caption, const std::wstring& path) override;

    // The My Menu entries as the page sees them (TMyMenuHost).
    int EntryCount() const override;
    MyMenuEntry Entry(int row) const override;
    int EntryImage(int row) const override;
    bool EntryIsLink(int row) const override;
    HIMAGELIST SmallImages() const override;
    void RemoveEntry(int row) override;
    void MoveEntry(int from, int to) override;
    void RenameEntry(int row, const std::wstring& caption) override;
    void OpenEntry(int row) override;
    void ShowEntryProperties(int row) override;
    void ShowLinkTargetProperties(int row) override;
    std::wstring LastOpenedDir() const override { return settings_.LastOpenedDir; }
    void SetLastOpenedDir(const std::wstring& dir) override { settings_.LastOpenedDir = dir; }

    // Every option's change with its effect, as the option pages' handlers have it; the settings
    // load goes through the same setters.
    bool SetStartup(bool startup) override;                    // chkStartupClick
    void SetViewMenus(const LauncherSettings& views) override; // the six chkView...Click
    void SetHideArrow(bool hideArrow) override;                // chkHideArrowClick
    void SetDoNotViewUnassociatedItems(bool doNotViewUnassociated) override;
    void SetDoNotViewHiddenItems(bool doNotViewHidden) override; // chkDoNotViewHiddenItemsClick
    void SetDoNotCheckItemsEveryTime(bool checkEveryTime) override;
    void SetShowHintFrom(int count) override;              // edtViewHintChange
    void SetAlwaysScrollMenus(bool alwaysScroll) override; // chkAlwaysScrollMenusClick
    void SetHotKeyShortCut(ShortCut hotKey) override;      // registered at the hide
    void SetPopupPos(const std::wstring& corner) override;
    void SetPopupOnSelPos(bool popupOnSelPos) override;
    void SetMoveCursor(bool moveCursor) override;
    void SetBannerText(const std::wstring& text) override;
    void SetBannerFont(const std::wstring& name, int height, ColorCode color,
                       int style) override;        // cmdSetFontClick
    void SetUpperColor(ColorCode color) override;  // cmbUpperColorChange
    void SetBottomColor(ColorCode color) override; // cmbBottomColorChange
    void SetMenuBannerWidth(int width) override;   // edtBannerWidthChange
    void SetMenuDrawStyle(int style) override;     // rgViewStyleClick
    void SetLargeIcon(bool largeIcon) override;    // chkLargeIconClick
    // All options through their setters, in the order of the controls' load; the pages then
    // show them.
    void ApplyOptions(const LauncherSettings& options);

    void ApplicationEvents1Exception(std::exception_ptr error);

    // The program's own windows: its forms, the application window and the hidden windows
    // of its components (all on this thread).
    bool IsOwnWindow(HWND window) const;
    // A window the user sees and works in, none of the program's own (IsWindowToGoBackTo).
    bool IsWindowToGoBackTo(HWND window) const;
    // The foreground window when it is none of the program's own; else the first window to go
    // back to below it.
    HWND mGetNextWindow() const;
    // Popup point, alignment, animation and cursor target at the chosen corner of the work area
    // of the monitor the user is on (that of the window when one is given, else that of the
    // point, by default the pointer's place), for the current menu at that monitor's DPI. Also
    // sets the menu's animation directions.
    TCornerPlacement PlaceAtChosenCorner(HWND userWindow = nullptr,
                                         std::optional<POINT> at = std::nullopt);
    // Shows the launcher menu at the point (its top-right corner with alignRight) with `front`
    // in the foreground meanwhile, gives the foreground back to PreviousForegroundWindow, and
    // restarts when the pool has grown past its limit.
    void PopupLauncherMenu(POINT at, HWND front, std::optional<POINT> cursorTarget,
                           bool alignRight = false);
    void WMHotKey();
    // Shows in the tray whether the launcher is ready and takes clicks; once ready, a request
    // that came meanwhile opens the menu.
    void SetLauncherReady(bool ready);
    // Releases every shell list and icon and rebuilds the launcher's data in place.
    void Restart();
    // The one way the program shows a message box: caption "Tolvern Launcher", topmost,
    // the foreground given back afterwards. Returns the answer.
    int MsgBox(const std::wstring& text, UINT flags) override;
    int MsgBox(const TLauncherMessage& message) { return MsgBox(message.text, message.flags); }

    // The system's minimise animation, which the show-desktop command turns off while it works
    // and gives back. Tests put their own here: Wine keeps no such setting.
    std::function<int()> GetMinimizeAnimation;
    std::function<void(int)> SetMinimizeAnimation;

    // Commands of the launcher menu that act on the program and the desktop.
    void mnuPopupShowDesktopClick(TMenuItem* sender);
    void mnuPopupSettingsClick(TMenuItem* sender);
    void About1Click(TMenuItem* sender);
    void mnuPopupHelpClick(TMenuItem* sender);
    void mnuPopupExitClick(TMenuItem* sender);
    void mnuPopupExitWindowsClick(TMenuItem* sender);
    // The help page shipped beside the program, opened when there is no WinHelp file.
    static std::wstring HtmlHelpPath();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ConnectMenuCommands();
    void FormCreate();
    void FormDestroy();
    // Sizes the client area for the window's DPI.
    void FitClientArea();
    // The page control takes what the client area gained, the close button keeps to the corner.
    void LayOutFrame(int dx, int dy);
    // WM_DPICHANGED: the dialog, its pages and what they sized in pixels follow the new DPI.
    void DpiChanged(WPARAM wParam, LPARAM lParam);
    void CreatePages();
    bool PreTranslateDialogMessage(const MSG& msg);

    bool modalLoopRunning_ = false;
    TDialogDpi frameDpi_;
};

} // namespace tolvern
