// Keeps one icon with a tip in the notification area and turns its mouse notifications into
// component events.
#pragma once

#include "base/unique_handle.h"
#include "framework/component.h"
#include "framework/mouse.h"
#include "framework/popup_menu.h"
#include "framework/window.h"

#include <functional>
#include <string>

namespace tolvern {

inline constexpr UINT TrayCallbackMessage = WM_USER + 100;

class TTaskTrayIcon : public TComponent {
public:
    using TNotifyEvent = std::function<void(TComponent* sender)>;
    using TMouseEvent =
        std::function<void(TComponent* sender, TMouseButton, TShiftState, int x, int y)>;
    using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState, int x, int y)>;

    explicit TTaskTrayIcon(TComponent* owner);
    ~TTaskTrayIcon() override;

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint);
    HICON Icon() const { return icon_.get(); }
    // Keeps a copy of the given icon; the caller keeps its own.
    void SetIcon(HICON icon);
    TPopupMenuBase* PopUpMenuL() const { return popUpMenuL_; }
    TPopupMenuBase* PopUpMenuR() const { return popUpMenuR_; }
    void SetPopUpMenuL(TPopupMenuBase* menu);
    void SetPopUpMenuR(TPopupMenuBase* menu);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // The hidden window that receives the shell's notifications.
    HWND Handle() const { return window_.Handle(); }

    // Shows a balloon with an information icon over the notification-area icon (only while
    // visible; the texts are cut to what the shell record holds). Returns the shell's answer.
    bool ShowBalloon(const std::wstring& title, const std::wstring& text);

    // Sends the shell record with NIM_ADD, NIM_MODIFY or NIM_DELETE (a modify only while
    // visible). Returns the shell's answer.
    bool UpdateTrayIcon(DWORD command);

    TNotifyEvent OnClick, OnDblClick;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;

private:
    class NotifyWindow : public Window {
    public:
        explicit NotifyWindow(TTaskTrayIcon& owner);
        using Window::Handle;

    protected:
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        TTaskTrayIcon& owner_;
    };

    // Adds the icon; when the shell refuses, tries again on a timer until the icon holds, for
    // a while at most.
    void AddTrayIcon();
    void RetryAdd();
    void StopAddRetries();
    void HandleTrayMessage(UINT mouseMessage);
    void BringOwnerToFront();
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void DoubleClick();

    std::wstring hint_;
    UniqueIcon icon_;
    TPopupMenuBase* popUpMenuL_ = nullptr;
    TPopupMenuBase* popUpMenuR_ = nullptr;
    bool visible_ = true;
    int addRetriesLeft_ = 0;
    UINT taskbarCreatedMessage_;
    NotifyWindow window_;
};

} // namespace tolvern
