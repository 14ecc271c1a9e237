// Keeps one icon with a tip in the notification area and turns its mouse notifications into
// component events.
#include "app/task_tray_icon.h"

#include "framework/application.h"
#include "framework/form.h"

#include <shellapi.h>

#include <algorithm>

namespace tolvern {

namespace {
// The shell may refuse or time out an add at logon, before the notification area is ready, and
// no TaskbarCreated follows when the taskbar was there already: the add is tried again every
// two seconds, for five minutes at most.
constexpr UINT_PTR kAddRetryTimer = 1;
constexpr UINT kAddRetryMs = 2000;
constexpr int kAddRetries = 150;
} // namespace

TTaskTrayIcon::TTaskTrayIcon(TComponent* owner)
    : TComponent(owner), taskbarCreatedMessage_(::RegisterWindowMessageW(L"TaskbarCreated")),
      window_(*this) {}

TTaskTrayIcon::~TTaskTrayIcon() {
    StopAddRetries();
    if (visible_)
        UpdateTrayIcon(NIM_DELETE);
}

void TTaskTrayIcon::Loaded() {
    if (visible_)
        AddTrayIcon();
}

void TTaskTrayIcon::AddTrayIcon() {
    if (UpdateTrayIcon(NIM_ADD)) {
        StopAddRetries();
        return;
    }
    addRetriesLeft_ = kAddRetries;
    ::SetTimer(Handle(), kAddRetryTimer, kAddRetryMs, nullptr);
}

void TTaskTrayIcon::RetryAdd() {
    // An add that timed out may have landed after all: the icon is then there to modify.
    if (!visible_ || UpdateTrayIcon(NIM_ADD) || UpdateTrayIcon(NIM_MODIFY) ||
        --addRetriesLeft_ <= 0)
        StopAddRetries();
}

void TTaskTrayIcon::StopAddRetries() {
    addRetriesLeft_ = 0;
    ::KillTimer(Handle(), kAddRetryTimer);
}

void TTaskTrayIcon::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    // One menu may serve both buttons.
    if (component == popUpMenuL_)
        popUpMenuL_ = nullptr;
    if (component == popUpMenuR_)
        popUpMenuR_ = nullptr;
}

void TTaskTrayIcon::SetHint(const std::wstring& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    if (visible_)
        UpdateTrayIcon(NIM_MODIFY);
}

void TTaskTrayIcon::SetIcon(HICON icon) {
    if (icon == icon_.get())
        return;
    icon_.reset(icon ? ::CopyIcon(icon) : nullptr);
    if (visible_)
        UpdateTrayIcon(NIM_MODIFY);
}

void TTaskTrayIcon::SetPopUpMenuL(TPopupMenuBase* menu) {
    popUpMenuL_ = menu;
    if (menu)
        menu->FreeNotification(this);
}

void TTaskTrayIcon::SetPopUpMenuR(TPopupMenuBase* menu) {
    popUpMenuR_ = menu;
    if (menu)
        menu->FreeNotification(this);
}

void TTaskTrayIcon::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    if (visible) {
        AddTrayIcon();
    } else {
        StopAddRetries();
        UpdateTrayIcon(NIM_DELETE);
    }
}

bool TTaskTrayIcon::UpdateTrayIcon(DWORD command) {
    if (command == NIM_MODIFY && !visible_)
        return false;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = TrayCallbackMessage;
    data.hIcon = icon_.get();
    // A longer tip is cut to what the shell record holds.
    const size_t length = std::min(hint_.size(), std::size(data.szTip) - 1);
    std::copy_n(hint_.begin(), length, data.szTip);
    return ::Shell_NotifyIconW(command, &data) != FALSE;
}

bool TTaskTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text) {
    if (!visible_)
        return false;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = 1;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    auto copy = [](const std::wstring& from, auto& to) {
        std::copy_n(from.begin(), std::min(from.size(), std::size(to) - 1), to);
    };
    copy(title, data.szInfoTitle);
    copy(text, data.szInfo);
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void TTaskTrayIcon::BringOwnerToFront() {
    auto* form = dynamic_cast<Form*>(Owner());
    if (!form)
        return;
    // A window of the program that is in front already (a dialog) stays there.
    HWND foreground = ::GetForegroundWindow();
    if (!foreground || ::GetWindowThreadProcessId(foreground, nullptr) !=
                           ::GetWindowThreadProcessId(form->Handle(), nullptr))
        ::SetForegroundWindow(form->Handle());
    form->App().ProcessMessages();
}

void TTaskTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TTaskTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
    if (OnClick)
        OnClick(this);
}

void TTaskTrayIcon::DoubleClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TTaskTrayIcon::HandleTrayMessage(UINT mouseMessage) {
    POINT p{};
    ::GetCursorPos(&p);
    switch (mouseMessage) {
    case WM_MOUSEMOVE:
        if (OnMouseMove)
            OnMouseMove(this, 0, p.x, p.y);
        break;
    case WM_LBUTTONDOWN:
        BringOwnerToFront();
        if (popUpMenuL_)
            popUpMenuL_->Popup(p.x, p.y);
        MouseDown(TMouseButton::mbLeft, ssLeft, p.x, p.y);
        break;
    case WM_LBUTTONUP:
        MouseUp(TMouseButton::mbLeft, ssLeft, p.x, p.y);
        break;
    case WM_LBUTTONDBLCLK:
        BringOwnerToFront();
        DoubleClick();
        MouseDown(TMouseButton::mbLeft, ssDouble, p.x, p.y);
        break;
    case WM_RBUTTONDOWN:
        BringOwnerToFront();
        if (popUpMenuR_)
            popUpMenuR_->Popup(p.x, p.y);
        MouseDown(TMouseButton::mbRight, ssRight, p.x, p.y);
        break;
    case WM_RBUTTONUP:
        MouseUp(TMouseButton::mbRight, ssRight, p.x, p.y);
        break;
    case WM_RBUTTONDBLCLK:
        BringOwnerToFront();
        DoubleClick();
        MouseDown(TMouseButton::mbRight, ssDouble, p.x, p.y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(TMouseButton::mbMiddle, ssMiddle, p.x, p.y);
        break;
    case WM_MBUTTONUP:
        MouseUp(TMouseButton::mbMiddle, ssMiddle, p.x, p.y);
        break;
    default:
        break;
    }
}

TTaskTrayIcon::NotifyWindow::NotifyWindow(TTaskTrayIcon& owner) : owner_(owner) {
    // A top-level window (not message-only) so that it also gets the session-end queries.
    CreateHandle(L"TTaskTrayIconWindow", L"", WS_POPUP, WS_EX_TOOLWINDOW, nullptr);
}

LRESULT TTaskTrayIcon::NotifyWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION) {
        owner_.StopAddRetries();
        owner_.UpdateTrayIcon(NIM_DELETE);
        return 1;
    }
    if (message == WM_ENDSESSION) {
        // The log-off or shut-down was cancelled: the icon must not stay away.
        if (!wParam && owner_.visible_)
            owner_.AddTrayIcon();
        return 0;
    }
    if (message == WM_TIMER && wParam == kAddRetryTimer) {
        owner_.RetryAdd();
        return 0;
    }
    if (message == TrayCallbackMessage) {
        owner_.HandleTrayMessage(static_cast<UINT>(lParam));
        return 0;
    }
    if (message == owner_.taskbarCreatedMessage_ && message != 0) {
        // The shell restarted and forgot every icon: add ours again.
        if (owner_.visible_)
            owner_.AddTrayIcon();
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace tolvern
