// What choosing a shell item of the launcher menu does: opening it with its default verb after
// the drive and access checks, its properties dialog, and the handlers of file items, open
// items, My Menu file entries and the display properties.
#include "menu/item_activation.h"

#include "base/text.h"
#include "settings/launcher_messages.h"

namespace tolvern {

TItemActivation::TItemActivation(TLauncherShell& shell, TLauncherMenu& menu)
    : ShellExecute([](SHELLEXECUTEINFOW& info) { return ::ShellExecuteExW(&info); }), shell_(shell),
      menu_(menu) {}

bool TItemActivation::DriveReadyFor(const std::wstring& path) const {
    if (!shell_.MediumMissing({true, path, shell_.IsRemovable(path)}))
        return true;
    if (shell_.MsgBox)
        shell_.MsgBox(DriveNotReadyMessage(ToUpperInvariant(ExtractFileDrive(path))));
    return false;
}

BOOL TItemActivation::Execute(SHELLEXECUTEINFOW& info, ULONG mask) {
    // The structure's real size: the 32-bit ANSI one is refused by 64-bit Windows.
    info.cbSize = sizeof info;
    info.fMask = mask;
    info.hwnd = OwnerWindow;
    info.lpParameters = L"";
    info.lpDirectory = L"";
    info.nShow = SW_SHOWNORMAL;
    return ShellExecute(info);
}

bool TItemActivation::FileExecEx(PCIDLIST_ABSOLUTE pidl, const std::wstring& knownPath) {
    std::wstring path = knownPath;
    const bool hasPath = !path.empty() || GetPathFromPIDL(pidl, path);
    // The shell's lists name paths only up to MAX_PATH: a longer one is opened by its path.
    const bool byPath = hasPath && (!pidl || path.size() >= MAX_PATH);
    if (hasPath) {
        const ShellItemFacts facts =
            byPath ? GetFileSystemFacts(path, PathAttributes(path), shell_.IsRemovable(path))
                   : GetItemFacts(pidl);
        if (facts.IsLink()) {
            // Only the target's drive matters for a shortcut.
            const std::wstring target =
                byPath ? ResolveLink(*shell_.ShellMalloc.Get(), LongPathForm(path)).path
                       : GetLinkPath(*shell_.ShellMalloc.Get(), pidl);
            if (!DriveReadyFor(target))
                return false;
        } else if (!DriveReadyFor(path)) {
            return false;
        }
        if (facts.IsFolder() && !IsDirAccessible(path)) {
            if (shell_.MsgBox)
                shell_.MsgBox(CannotAccessMessage(path));
            return false;
        }
    }
    SHELLEXECUTEINFOW info{};
    info.lpVerb = L""; // the item's default verb
    const std::wstring usablePath = byPath ? ShellUsablePath(path) : std::wstring();
    if (byPath)
        info.lpFile = usablePath.c_str();
    else
        info.lpIDList = const_cast<LPITEMIDLIST>(reinterpret_cast<LPCITEMIDLIST>(pidl));
    // What is opened may take the foreground from us, the foreground process.
    ::AllowSetForegroundWindow(ASFW_ANY);
    ++launchCount_;
    Execute(info, byPath ? 0 : SEE_MASK_INVOKEIDLIST);
    return true;
}

bool TItemActivation::OpenProperty(const std::wstring& path) {
    SHELLEXECUTEINFOW info{};
    info.lpVerb = L"properties";
    info.lpFile = path.c_str();
    return Execute(info) != FALSE;
}

bool TItemActivation::OpenProperty(PCIDLIST_ABSOLUTE pidl) {
    SHELLEXECUTEINFOW info{};
    info.lpVerb = L"properties";
    info.lpIDList = const_cast<LPITEMIDLIST>(reinterpret_cast<LPCITEMIDLIST>(pidl));
    return Execute(info) != FALSE;
}

void TItemActivation::PopupMenu_ItemClick(TMenuItem* sender) {
    const TMenuItem* folderItem = sender->Parent();
    PCIDLIST_ABSOLUTE item = shell_.ItemIdPool[sender->Tag];
    PCIDLIST_ABSOLUTE folder = folderItem ? shell_.ItemIdPool[folderItem->Tag] : nullptr;
    PCIDLIST_ABSOLUTE recycleBin = shell_.RecycleBinPIDL;
    // In the Recycle Bin a file is only shown, never opened; its open item opens the bin.
    if (folder && recycleBin && sender->MenuIndex() != 0 &&
        HRESULT_CODE(shell_.DesktopFolder->CompareIDs(0, folder, recycleBin)) == 0) {
        OpenProperty(item);
        return;
    }
    FileExecEx(item, shell_.KnownPath(static_cast<int>(sender->Tag)));
}

void TItemActivation::PopupMenu_ItemClick2(TMenuItem* sender) {
    const int row = sender->MenuIndex() - kFirstEntryPosition;
    const std::vector<MyMenuRow>& rows = menu_.Rows();
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return;
    const MyMenuRow& entry = rows[static_cast<size_t>(row)];
    if (FileExists(entry.Path))
        FileExecEx(entry.Pidl.get(), entry.Path);
    else if (shell_.MsgBox)
        shell_.MsgBox(CannotOpenMessage(entry.Path));
}

void TItemActivation::PopupMenu_DeskCplClick(TMenuItem*) {
    // Without desk.cpl the shell is asked without an identifier list, and says no itself.
    FileExecEx(menu_.DeskCplPIDL.get());
}

} // namespace tolvern
