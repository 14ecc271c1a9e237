// A page control: the system's tab control with one child dialog per tab, as a property sheet
// shows its pages.
#include "framework/page_control.h"

#include "framework/application.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <stdexcept>

namespace tolvern {

TDialogPage::TDialogPage(HWND parent, int templateId) {
    hwnd_ = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd_)
        throw std::runtime_error("page template missing");
    dpi_.Attach(hwnd_);
    // The page takes the tab control's own background where the system draws one.
    ::EnableThemeDialogTexture(hwnd_, ETDT_ENABLETAB);
}

TDialogPage::~TDialogPage() {
    if (hwnd_) {
        ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        ::DestroyWindow(hwnd_);
    }
}

std::wstring TDialogPage::Caption() const {
    return WindowText(hwnd_);
}

void TDialogPage::ChangeDpi(int newDpi) {
    const int oldDpi = Dpi();
    if (newDpi == oldDpi)
        return;
    dpi_.Rescale(newDpi);
    DpiChanged(oldDpi, newDpi);
}

bool TDialogPage::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

INT_PTR CALLBACK TDialogPage::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<TDialogPage*>(lParam);
        page->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* page = reinterpret_cast<TDialogPage*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!page)
        return FALSE;
    try {
        LRESULT result = 0;
        if (!page->HandleMessage(message, wParam, lParam, result))
            return FALSE;
        switch (message) {
        // These answer through the procedure's own result.
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    } catch (...) {
        ReportException(std::current_exception());
        return FALSE;
    }
}

void TPageControl::AddPage(TDialogPage& page) {
    const std::wstring caption = page.Caption();
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    const int index = PageCount();
    ::SendMessageW(tab_, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    pages_.push_back(&page);
    LayOutPage(page);
    ShowActive();
}

void TPageControl::ChangeDpi(int newDpi) {
    for (TDialogPage* page : pages_) {
        page->ChangeDpi(newDpi);
        LayOutPage(*page);
    }
}

void TPageControl::LayOutPage(TDialogPage& page) {
    RECT area{};
    ::GetClientRect(tab_, &area);
    ::SendMessageW(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    ::MapWindowPoints(tab_, ::GetParent(tab_), reinterpret_cast<POINT*>(&area), 2);
    // Above the tab control, which clips its siblings, so neither paints over the other.
    ::SetWindowPos(page.Handle(), HWND_TOP, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOACTIVATE);
}

int TPageControl::ActivePageIndex() const {
    return static_cast<int>(::SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
}

TDialogPage* TPageControl::ActivePage() const {
    const int index = ActivePageIndex();
    return index >= 0 && index < PageCount() ? pages_[index] : nullptr;
}

void TPageControl::SetActivePageIndex(int index) {
    ::SendMessageW(tab_, TCM_SETCURSEL, index, 0);
    ShowActive();
}

void TPageControl::ShowActive() {
    const TDialogPage* active = ActivePage();
    for (TDialogPage* page : pages_)
        if (page != active)
            ::ShowWindow(page->Handle(), SW_HIDE);
    if (active)
        ::ShowWindow(active->Handle(), SW_SHOW);
}

bool TPageControl::Notify(const NMHDR& header) {
    if (header.hwndFrom != tab_)
        return false;
    if (header.code == TCN_SELCHANGE)
        ShowActive();
    return true;
}

bool TPageControl::PreTranslateMessage(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || PageCount() == 0 || !(::GetKeyState(VK_CONTROL) & 0x8000))
        return false;
    const HWND dialog = ::GetParent(tab_);
    if (msg.hwnd != dialog && !::IsChild(dialog, msg.hwnd))
        return false;
    int step = 0;
    if (msg.wParam == VK_TAB)
        step = (::GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
    else if (msg.wParam == VK_NEXT)
        step = 1;
    else if (msg.wParam == VK_PRIOR)
        step = -1;
    if (step == 0)
        return false;
    SetActivePageIndex((ActivePageIndex() + step + PageCount()) % PageCount());
    ::SetFocus(tab_);
    return true;
}

} // namespace tolvern
