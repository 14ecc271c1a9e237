// The version dialog: created hidden at start from its template, shown modally from the
// launcher menu.
#include "settings/about_box.h"

#include "base/dpi.h"
#include "base/monitors.h"
#include "framework/modal.h"
#include "framework/window.h"
#include "settings/dialog_ids.h"

#include <shellapi.h>

#include "tolvern_version.h"

#include <stdexcept>
#include <vector>

namespace tolvern {

namespace {

constexpr int kLinkMargin = 2;

RECT ClientRectOf(HWND dialog, HWND item) {
    RECT r{};
    ::GetWindowRect(item, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

std::wstring VersionCaption(int major, int minor, int patch) {
    std::wstring text = L"Version " + std::to_wstring(major) + L"." + std::to_wstring(minor);
    if (patch != 0)
        text += L"." + std::to_wstring(patch);
    return text;
}

TAboutBox::TAboutBox(Application& application) : application_(application) {
    OpenPage = [](HWND owner, const std::wstring& url) {
        ::ShellExecuteW(owner, nullptr, url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    };
    ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT_BOX),
                         application.Handle(), &TAboutBox::StaticDialogProc,
                         reinterpret_cast<LPARAM>(this));
    if (!hwnd_)
        throw std::runtime_error("cannot create the About box");
}

TAboutBox::~TAboutBox() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

void TAboutBox::FormCreate() {
    ::SetDlgItemTextW(hwnd_, IDC_ABOUT_PRODUCT, application_.Title().c_str());
    ::SetDlgItemTextW(
        hwnd_, IDC_ABOUT_VERSION,
        VersionCaption(TOLVERN_VERSION_MAJOR, TOLVERN_VERSION_MINOR, TOLVERN_VERSION_PATCH)
            .c_str());
    dpi_.Attach(hwnd_);
    linkArea_ = ClientRectOf(hwnd_, ::GetDlgItem(hwnd_, IDC_ABOUT_LINK));
    linkAreaDpi_ = dpi_.Dpi();
    ApplyDpi();
}

void TAboutBox::ApplyDpi() {
    const int dpi = dpi_.Dpi();
    productFont_.reset(::CreateFontW(-ScaleForDpi(16, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                     L"ＭＳ Ｐゴシック"));
    ::SendDlgItemMessageW(hwnd_, IDC_ABOUT_PRODUCT, WM_SETFONT,
                          reinterpret_cast<WPARAM>(productFont_.get()), TRUE);
    LOGFONTW lf{};
    ::GetObjectW(dpi_.Font(), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    linkFont_.reset(::CreateFontIndirectW(&lf));
    ::SendDlgItemMessageW(hwnd_, IDC_ABOUT_LINK, WM_SETFONT,
                          reinterpret_cast<WPARAM>(linkFont_.get()), TRUE);
    LayOutLink();
    ShowIcon();
}

void TAboutBox::LayOutLink() {
    // The link label hugs its (wrapped) text, and the flat button lies around it with a margin,
    // so the text and a thin band around it react to the mouse, and nothing beyond.
    HWND link = ::GetDlgItem(hwnd_, IDC_ABOUT_LINK);
    const int dpi = dpi_.Dpi();
    RECT label{RescaleForDpi(linkArea_.left, linkAreaDpi_, dpi),
               RescaleForDpi(linkArea_.top, linkAreaDpi_, dpi),
               RescaleForDpi(linkArea_.right, linkAreaDpi_, dpi),
               RescaleForDpi(linkArea_.bottom, linkAreaDpi_, dpi)};
    RECT text{0, 0, label.right - label.left, 0};
    {
        HDC dc = ::GetDC(link);
        SelectGuard font(dc, linkFont_.get());
        const std::wstring caption = WindowText(link);
        ::DrawTextW(dc, caption.c_str(), -1, &text,
                    DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        ::ReleaseDC(link, dc);
    }
    label.right = label.left + text.right;
    label.bottom = label.top + text.bottom;
    ::SetWindowPos(link, nullptr, label.left, label.top, label.right - label.left,
                   label.bottom - label.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const int margin = ScaleForDpi(kLinkMargin, dpi);
    ::SetWindowPos(::GetDlgItem(hwnd_, IDC_ABOUT_LINK_BUTTON), nullptr, label.left - margin,
                   label.top - margin, label.right - label.left + 2 * margin,
                   label.bottom - label.top + 2 * margin, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TAboutBox::ShowIcon() {
    // The icon control's text is the number of the icon resource its template names.
    HWND control = ::GetDlgItem(hwnd_, IDC_ABOUT_ICON);
    const std::wstring name = WindowText(control);
    if (name.size() != 2 || name[0] != 0xFFFF)
        return;
    const int size = LargeIconSize(dpi_.Dpi());
    UniqueIcon icon(
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(name[1]),
                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon)
        return;
    ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    icon_ = std::move(icon);
}

void TAboutBox::CommentsClick() {
    // The address opened is the link's own caption, so the two cannot differ.
    if (OpenPage)
        OpenPage(hwnd_, WindowText(::GetDlgItem(hwnd_, IDC_ABOUT_LINK)));
}

int TAboutBox::ShowModal() {
    if (modal_ || !hwnd_)
        return 0;
    // Centred on the monitor the user is on: the box is asked for from the menu or the dialog
    // there, with the pointer.
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    const POINT centred =
        CentredIn(MonitorRectAt(pointer), SIZE{r.right - r.left, r.bottom - r.top});
    ::SetWindowPos(hwnd_, nullptr, centred.x, centred.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND previousActive = ::GetActiveWindow();
    modal_ = true;
    modalResult_ = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    {
        TDisabledTaskWindows disabled; // taken while the box is hidden, so it stays enabled
        ::SendMessageW(hwnd_, DM_SETDEFID, IDOK, 0);
        ::ShowWindow(hwnd_, SW_SHOW);
        ::SetForegroundWindow(hwnd_);
        ::SetFocus(::GetDlgItem(hwnd_, IDOK));
        MSG msg;
        while (modalResult_ == 0 && hwnd_) {
            const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            if (got == -1)
                break;
            if (!::IsDialogMessageW(hwnd_, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        // The other windows are enabled before this one hides, so that activation can go back.
    }
    if (hwnd_)
        ::ShowWindow(hwnd_, SW_HIDE);
    if (previousActive && ::IsWindow(previousActive))
        ::SetActiveWindow(previousActive);
    modal_ = false;
    if (quit) {
        ::PostQuitMessage(static_cast<int>(quitCode));
        return 0;
    }
    return modalResult_;
}

INT_PTR TAboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DPICHANGED:
        dpi_.Change(wParam, lParam);
        ApplyDpi();
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            modalResult_ = id; // OKButtonClick: Enter, Esc and the OK button alike
            if (!modal_)
                ::ShowWindow(hwnd_, SW_HIDE);
            return TRUE;
        }
        // An owner-drawn button reports the second click of a quick pair as a double click.
        if ((id == IDC_ABOUT_LINK && code == STN_CLICKED) ||
            (id == IDC_ABOUT_LINK_BUTTON && (code == BN_CLICKED || code == BN_DOUBLECLICKED))) {
            CommentsClick();
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        modalResult_ = IDCANCEL;
        if (!modal_)
            ::ShowWindow(hwnd_, SW_HIDE);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(hwnd_, IDC_ABOUT_LINK)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, RGB(0, 0, 255));
            ::SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_SETCURSOR: {
        const auto over = reinterpret_cast<HWND>(wParam);
        if (over == ::GetDlgItem(hwnd_, IDC_ABOUT_LINK) ||
            over == ::GetDlgItem(hwnd_, IDC_ABOUT_LINK_BUTTON)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        // The flat button shows nothing of its own but the keyboard focus.
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (dis->CtlID != IDC_ABOUT_LINK_BUTTON)
            return FALSE;
        ::FillRect(dis->hDC, &dis->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
        if (dis->itemState & ODS_FOCUS)
            ::DrawFocusRect(dis->hDC, &dis->rcItem);
        return TRUE;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK TAboutBox::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<TAboutBox*>(lParam);
            ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            self->hwnd_ = hwnd;
            self->FormCreate();
            return TRUE;
        }
        auto* self = reinterpret_cast<TAboutBox*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!self)
            return FALSE;
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            return FALSE;
        }
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportException(std::current_exception());
        return FALSE;
    }
}

} // namespace tolvern
