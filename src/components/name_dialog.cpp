// A small modal dialog that asks for a new name.
#include "components/name_dialog.h"

#include "components/name_dialog_ids.h"
#include "framework/dialog_dpi.h"

#include <windowsx.h>

namespace tolvern {

namespace {

struct NameRequest {
    std::wstring name;
    TDialogDpi dpi;
};

INT_PTR CALLBACK NameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* request = reinterpret_cast<NameRequest*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        request->dpi.Attach(dialog);
        HWND edit = ::GetDlgItem(dialog, IDC_NAME_EDIT);
        ::SetWindowTextW(edit, request->name.c_str());
        // The name without its extension is selected, the part one mostly changes.
        const size_t dot = request->name.rfind(L'.');
        const int end = dot == std::wstring::npos || dot == 0
                            ? static_cast<int>(request->name.size())
                            : static_cast<int>(dot);
        ::SetFocus(edit);
        Edit_SetSel(edit, 0, end);
        ::SetForegroundWindow(dialog);
        return FALSE; // the focus is set
    }
    case WM_DPICHANGED:
        reinterpret_cast<NameRequest*>(::GetWindowLongPtrW(dialog, DWLP_USER))
            ->dpi.Change(wParam, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* request = reinterpret_cast<NameRequest*>(::GetWindowLongPtrW(dialog, DWLP_USER));
            HWND edit = ::GetDlgItem(dialog, IDC_NAME_EDIT);
            std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
            text.resize(static_cast<size_t>(
                ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
            request->name = text;
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

bool AskName(HWND owner, std::wstring& name) {
    NameRequest request{name, {}};
    const INT_PTR answer =
        ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_NAME_DIALOG), owner,
                          NameDialogProc, reinterpret_cast<LPARAM>(&request));
    if (answer != IDOK || request.name.empty() || request.name == name)
        return false;
    name = request.name;
    return true;
}

} // namespace tolvern
