// The common ground of the option pages: reading and setting their check boxes and number
// fields, and telling the program's own control updates from the user's changes.
#include "settings/option_page.h"

#include "framework/window.h"

#include <commctrl.h>

namespace tolvern {

void TOptionPage::ShowOptions(const LauncherSettings& options) {
    updating_ = true;
    try {
        SetControls(options);
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
}

bool TOptionPage::Checked(int id) const {
    return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TOptionPage::SetChecked(int id, bool checked) {
    ::SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring TOptionPage::Text(int id) const {
    return WindowText(Item(id));
}

void TOptionPage::SetUpSpin(int upDownId, int low, int high, int step) {
    HWND upDown = Item(upDownId);
    ::SendMessageW(upDown, UDM_SETRANGE32, low, high);
    UDACCEL accel{0, static_cast<UINT>(step)};
    ::SendMessageW(upDown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TOptionPage::SetSpinPosition(int upDownId, int position) {
    ::SendMessageW(Item(upDownId), UDM_SETPOS32, 0, position);
}

int TOptionPage::SpinPosition(int upDownId) const {
    return static_cast<int>(::SendMessageW(Item(upDownId), UDM_GETPOS32, 0, 0));
}

bool TOptionPage::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || updating_)
        return false;
    Command(LOWORD(wParam), HIWORD(wParam));
    result = 0;
    return true;
}

} // namespace tolvern
