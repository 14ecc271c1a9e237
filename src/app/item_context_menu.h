// The context menu of the launcher menu's items: the shell's own menu of the file or folder an
// item stands for, with the launcher's two commands above it for a My Menu entry.
#pragma once

#include "framework/menu_item.h"

#include <windows.h>

#include <functional>
#include <string>

namespace tolvern {

class TForm2;

inline constexpr wchar_t kRemoveFromMyMenu[] = L"マイメニューから削除(&R)";
inline constexpr wchar_t kEntrySettings[] = L"設定(&S)...";

class TItemContextMenu {
public:
    explicit TItemContextMenu(TForm2& form);
    TItemContextMenu(const TItemContextMenu&) = delete;
    TItemContextMenu& operator=(const TItemContextMenu&) = delete;

    // Shows the item's context menu at the point, over the open launcher menu. A command
    // chosen closes the launcher menu first and runs once it has closed.
    void Show(TMenuItem* item, POINT at);

    // Asks for a rename's new name (the name dialog); tests answer instead.
    std::function<bool(HWND owner, std::wstring& name)> AskNewName;
    // Told of the menu while it is shown, before it is tracked (tests read it here).
    std::function<void(HMENU menu)> OnShowing;

private:
    TForm2& form_;
};

} // namespace tolvern
