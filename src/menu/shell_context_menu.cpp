// The shell's own context menu of one item, and renaming through the shell.
#include "menu/shell_context_menu.h"

#include "base/text.h"
#include "menu/shell_items.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <atomic>
#include <vector>

namespace tolvern {

namespace {
std::atomic<int> liveMenus{0};

// The item's folder and its child list in it; null for the desktop itself.
ComPtr<IShellFolder> ParentOf(PCIDLIST_ABSOLUTE pidl, PCUITEMID_CHILD& child) {
    ComPtr<IShellFolder> parent;
    child = nullptr;
    if (!pidl || IsDesktopPIDL(pidl) ||
        FAILED(::SHBindToParent(pidl, IID_PPV_ARGS(&parent), &child)))
        parent.Reset();
    return parent;
}
} // namespace

TShellContextMenu::TShellContextMenu(PCIDLIST_ABSOLUTE pidl, bool extended) {
    ++liveMenus;
    flags_ = CMF_NORMAL | CMF_CANRENAME | (extended ? CMF_EXTENDEDVERBS : 0);
    PCUITEMID_CHILD child = nullptr;
    ComPtr<IShellFolder> parent = ParentOf(pidl, child);
    if (!parent || FAILED(parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr,
                                                reinterpret_cast<void**>(menu_.GetAddressOf()))))
        menu_.Reset();
    if (menu_ && FAILED(menu_.As(&menu3_)))
        menu3_.Reset();
    if (menu_ && FAILED(menu_.As(&menu2_)))
        menu2_.Reset();
}

TShellContextMenu::~TShellContextMenu() {
    // The handlers go before the count says so.
    menu3_.Reset();
    menu2_.Reset();
    menu_.Reset();
    --liveMenus;
}

int TShellContextMenu::LiveCount() {
    return liveMenus;
}

bool TShellContextMenu::AddItems(HMENU menu, UINT firstId, UINT lastId) {
    if (!menu_)
        return false;
    const int before = ::GetMenuItemCount(menu);
    if (FAILED(menu_->QueryContextMenu(menu, static_cast<UINT>(before), firstId, lastId, flags_)))
        return false;
    firstId_ = firstId;
    lastId_ = lastId;
    return ::GetMenuItemCount(menu) > before;
}

bool TShellContextMenu::HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) {
    switch (message) {
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
        break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        // Only the shell's own items: the launcher menu below paints its items meanwhile.
        const UINT id = message == WM_DRAWITEM
                            ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->itemID
                            : reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->itemID;
        if (!Owns(id))
            return false;
        break;
    }
    default:
        return false;
    }
    if (menu3_) {
        LRESULT answer = 0;
        if (SUCCEEDED(menu3_->HandleMenuMsg2(message, wParam, lParam, &answer))) {
            result = answer;
            return true;
        }
        return false;
    }
    if (menu2_ && message != WM_MENUCHAR &&
        SUCCEEDED(menu2_->HandleMenuMsg(message, wParam, lParam))) {
        result = message == WM_INITMENUPOPUP ? 0 : TRUE;
        return true;
    }
    return false;
}

std::wstring TShellContextMenu::Verb(UINT id) const {
    if (!Owns(id))
        return {};
    wchar_t verb[256] = {};
    if (FAILED(menu_->GetCommandString(id - firstId_, GCS_VERBW, nullptr,
                                       reinterpret_cast<LPSTR>(verb), 256)))
        return {};
    std::wstring text = verb;
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(::towlower(c));
    return text;
}

HRESULT TShellContextMenu::Invoke(UINT id, HWND owner, POINT at) const {
    if (!Owns(id))
        return E_INVALIDARG;
    CMINVOKECOMMANDINFOEX info{};
    info.cbSize = sizeof info;
    info.fMask = CMIC_MASK_UNICODE | CMIC_MASK_PTINVOKE;
    if (::GetKeyState(VK_SHIFT) & 0x8000)
        info.fMask |= CMIC_MASK_SHIFT_DOWN;
    if (::GetKeyState(VK_CONTROL) & 0x8000)
        info.fMask |= CMIC_MASK_CONTROL_DOWN;
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(id - firstId_);
    info.lpVerbW = MAKEINTRESOURCEW(id - firstId_);
    info.nShow = SW_SHOWNORMAL;
    info.ptInvoke = at;
    // What a verb shows (Properties, Open with) may take the foreground from us.
    ::AllowSetForegroundWindow(ASFW_ANY);
    return menu_->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
}

std::wstring EditingName(PCIDLIST_ABSOLUTE pidl) {
    PCUITEMID_CHILD child = nullptr;
    ComPtr<IShellFolder> parent = ParentOf(pidl, child);
    STRRET name{};
    wchar_t* text = nullptr;
    if (!parent ||
        FAILED(parent->GetDisplayNameOf(child, SHGDN_INFOLDER | SHGDN_FOREDITING, &name)) ||
        FAILED(::StrRetToStrW(&name, child, &text)) || !text)
        return {};
    std::wstring result = text;
    ::CoTaskMemFree(text);
    return result;
}

HRESULT RenameShellItem(HWND owner, PCIDLIST_ABSOLUTE pidl, const std::wstring& path,
                        const std::wstring& newName) {
    ComPtr<IFileOperation> operation;
    ComPtr<IShellItem> item;
    if (SUCCEEDED(::CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL,
                                     IID_PPV_ARGS(&operation))) &&
        SUCCEEDED(::SHCreateItemFromIDList(pidl, IID_PPV_ARGS(&item)))) {
        operation->SetOwnerWindow(owner);
        operation->SetOperationFlags(FOF_ALLOWUNDO);
        HRESULT hr = operation->RenameItem(item.Get(), newName.c_str(), nullptr);
        if (SUCCEEDED(hr))
            hr = operation->PerformOperations();
        // A system that has the object but not the operation (Wine) goes the older way.
        if (hr != E_NOTIMPL) {
            BOOL aborted = FALSE;
            operation->GetAnyOperationsAborted(&aborted);
            return FAILED(hr) ? hr : aborted ? E_ABORT : S_OK;
        }
    }
    if (!path.empty()) {
        std::wstring from = path + L'\0';
        std::wstring to = ExtractFileDir(path) + L"\\" + newName + L'\0';
        SHFILEOPSTRUCTW operation{};
        operation.hwnd = owner;
        operation.wFunc = FO_RENAME;
        operation.pFrom = from.c_str();
        operation.pTo = to.c_str();
        operation.fFlags = FOF_ALLOWUNDO;
        const int error = ::SHFileOperationW(&operation);
        if (error != 0)
            return HRESULT_FROM_WIN32(error);
        return operation.fAnyOperationsAborted ? E_ABORT : S_OK;
    }
    PCUITEMID_CHILD child = nullptr;
    ComPtr<IShellFolder> parent = ParentOf(pidl, child);
    if (!parent)
        return E_FAIL;
    return parent->SetNameOf(owner, child, newName.c_str(), SHGDN_INFOLDER | SHGDN_FOREDITING,
                             nullptr);
}

} // namespace tolvern
