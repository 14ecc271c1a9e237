// What choosing a shell item of the launcher menu does: opening it with its default verb after
// the drive and access checks, its properties dialog, and the handlers of file items, open
// items, My Menu file entries and the display properties.
#pragma once

#include "framework/menu_item.h"
#include "menu/launcher_menu.h"
#include "menu/launcher_shell.h"

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>

namespace tolvern {

class TItemActivation {
public:
    TItemActivation(TLauncherShell& shell, TLauncherMenu& menu);
    TItemActivation(const TItemActivation&) = delete;
    TItemActivation& operator=(const TItemActivation&) = delete;

    HWND OwnerWindow = nullptr; // owner of what the shell shows (the settings form)
    // The shell's execute call. Tests see what would be opened through it: Wine has no
    // properties dialogs to show, and no drive without a medium.
    std::function<BOOL(SHELLEXECUTEINFOW&)> ShellExecute;

    // Opens the item with its default verb; what the program itself finds wrong (a drive
    // without a medium, a folder that cannot be entered) is reported instead. True when the
    // shell was asked to open it. knownPath: the item's path when the caller knows it; an item
    // without list, or whose path is too long for the shell's lists, is opened by its path.
    bool FileExecEx(PCIDLIST_ABSOLUTE pidl, const std::wstring& knownPath = {});
    // The shell's properties dialog of a file-system path, or of an identifier list.
    bool OpenProperty(const std::wstring& path);
    bool OpenProperty(PCIDLIST_ABSOLUTE pidl);

    void PopupMenu_ItemClick(TMenuItem* sender);
    void PopupMenu_ItemClick2(TMenuItem* sender);
    void PopupMenu_DeskCplClick(TMenuItem* sender);

    // How many items the shell was asked to open; the popup compares it before and after to
    // leave the foreground with what was opened.
    int LaunchCount() const { return launchCount_; }
    // Counts what was opened another way (a verb of the shell's context menu).
    void CountLaunch() { ++launchCount_; }

private:
    bool DriveReadyFor(const std::wstring& path) const;
    BOOL Execute(SHELLEXECUTEINFOW& info, ULONG mask = SEE_MASK_INVOKEIDLIST);

    TLauncherShell& shell_;
    TLauncherMenu& menu_;
    int launchCount_ = 0;
};

} // namespace tolvern
