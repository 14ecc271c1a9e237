// The context menu of the launcher menu's items.
#include "app/item_context_menu.h"

#include "app/settings_form.h"
#include "base/unique_handle.h"
#include "components/name_dialog.h"
#include "menu/shell_context_menu.h"

#include <memory>

namespace tolvern {

namespace {
constexpr UINT kRemoveEntryCommand = 1;
constexpr UINT kEntrySettingsCommand = 2;
// The shell's handlers take identifiers up to 0x7FFF.
constexpr UINT kFirstShellCommand = 0x100;
constexpr UINT kLastShellCommand = 0x7FFF;
} // namespace

TItemContextMenu::TItemContextMenu(TForm2& form) : AskNewName(AskName), form_(form) {}

void TItemContextMenu::Show(TMenuItem* item, POINT at) {
    const int row = form_.Menu.EntryRowOf(item);
    PCIDLIST_ABSOLUTE pidl = form_.Menu.ShellItemOf(item);
    if (!pidl && row < 0)
        return; // one of the launcher's own items
    auto shell = std::make_shared<TShellContextMenu>(pidl, (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
    UniqueMenu menu(::CreatePopupMenu());
    if (row >= 0) {
        ::AppendMenuW(menu.get(), MF_STRING, kRemoveEntryCommand, kRemoveFromMyMenu);
        ::AppendMenuW(menu.get(), MF_STRING, kEntrySettingsCommand, kEntrySettings);
        ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    }
    if (!shell->AddItems(menu.get(), kFirstShellCommand, kLastShellCommand) && row >= 0)
        ::DeleteMenu(menu.get(), 2, MF_BYPOSITION); // no separator before nothing
    if (::GetMenuItemCount(menu.get()) == 0)
        return;
    if (OnShowing)
        OnShowing(menu.get());
    const UINT command = form_.PopupMenu2.TrackNested(
        menu.get(), at, [&shell](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            return shell->HandleMenuMessage(message, wParam, lParam, result);
        });
    if (command == 0)
        return;

    // What the command works on, apart from the menu's items: they may be gone once it closes.
    auto target = std::make_shared<UniquePidl>(CopyPIDL(*form_.ShellMalloc.Get(), pidl));
    std::wstring path;
    GetPathFromPIDL(pidl, path);
    TMenuItem* folder = item->Parent() != &form_.PopupMenu2.Items ? item->Parent() : nullptr;
    std::weak_ptr<void> folderLife = folder ? folder->LifeToken() : std::weak_ptr<void>();
    form_.PopupMenu2.CloseThen([this, shell, command, at, row, target, path, folder, folderLife] {
        if (command == kRemoveEntryCommand) {
            const int entries = form_.EntryCount();
            form_.MyMenuPage->SelectOnly(row);
            form_.MyMenuPage->cmdRemoveClick(); // asks first
            if (form_.EntryCount() != entries)
                form_.SaveSettingsToReg();
            return;
        }
        if (command == kEntrySettingsCommand) {
            form_.PageControl1->SetActivePageIndex(0);
            form_.MyMenuPage->SelectOnly(row);
            form_.mnuPopupSettingsClick(nullptr);
            return;
        }
        HWND owner = form_.Handle();
        if (shell->Verb(command) == L"rename") {
            // The shell leaves renaming to the program that shows the item.
            std::wstring name = EditingName(target->get());
            if (!name.empty() && AskNewName && AskNewName(owner, name))
                RenameShellItem(owner, target->get(), path, name);
        } else {
            form_.Activation.CountLaunch(); // what the verb shows keeps the foreground
            shell->Invoke(command, owner, at);
        }
        // Whatever the command changed in the folder shows at its next opening.
        if (folder && !folderLife.expired())
            TLauncherShell::MarkUnread(*folder);
    });
}

} // namespace tolvern
