// The shell's own context menu of one item (Open, Send to, Copy, Delete, Rename, Properties and
// whatever installed programs add), as the item's parent folder gives it, and the renaming that
// the shell leaves to the program that shows the item.
#pragma once

#include "base/com.h"

#include <shlobj.h>

#include <string>

namespace tolvern {

class TShellContextMenu {
public:
    // The menu of the item (an absolute list); none when the shell offers none (the desktop
    // itself, a list the shell no longer knows). extended: the verbs shown with Shift held.
    TShellContextMenu(PCIDLIST_ABSOLUTE pidl, bool extended);
    ~TShellContextMenu();
    TShellContextMenu(const TShellContextMenu&) = delete;
    TShellContextMenu& operator=(const TShellContextMenu&) = delete;

    bool Available() const { return static_cast<bool>(menu_); }
    // Appends the shell's items to the menu with identifiers from firstId to lastId; false when
    // it added none.
    bool AddItems(HMENU menu, UINT firstId, UINT lastId);
    // Whether the identifier is one of the shell's items.
    bool Owns(UINT id) const { return Available() && id >= firstId_ && id <= lastId_; }
    // The messages of the menu while it is shown, for the items the shell's handlers draw or
    // fill when their submenu opens ("Send to"); true when a handler took the message.
    bool HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The command's language-independent verb ("delete", "rename", "properties"), lower case;
    // empty when the handler names none.
    std::wstring Verb(UINT id) const;
    // Carries the command out, as chosen at the point, owned by the window.
    HRESULT Invoke(UINT id, HWND owner, POINT at) const;

    // How many of these objects are alive: each holds the shell's menu objects, which must go
    // with it.
    static int LiveCount();

private:
    ComPtr<IContextMenu> menu_;
    ComPtr<IContextMenu2> menu2_;
    ComPtr<IContextMenu3> menu3_;
    UINT flags_ = 0;
    UINT firstId_ = 0, lastId_ = 0;
};

// Renames the item (an absolute list; path: its file-system path, empty for none) within its
// folder through the shell: IFileOperation where the system has it, else SHFileOperationW, else
// the folder itself. What the shell refuses (a name taken or invalid) changes nothing; the
// result says whether the name changed.
HRESULT RenameShellItem(HWND owner, PCIDLIST_ABSOLUTE pidl, const std::wstring& path,
                        const std::wstring& newName);
// The name to offer for editing: the item's name as its folder edits it.
std::wstring EditingName(PCIDLIST_ABSOLUTE pidl);

} // namespace tolvern
