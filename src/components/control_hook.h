// TControlHook: takes over the window procedure of a control (or of its form) and keeps the
// takeover in force when the control's window is destroyed and created anew.
#pragma once

#include "framework/win_control.h"

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace tolvern {

enum class THookTarget { htControl, htForm };

// An error a component raises, with the text the user would see.
class EComponentError : public std::runtime_error {
public:
    explicit EComponentError(std::wstring message)
        : std::runtime_error("component error"), message_(std::move(message)) {}
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};

class TControlHook : public TComponent {
public:
    explicit TControlHook(TComponent* owner);
    ~TControlHook() override;

    // The private message that asks the utility window to hook again.
    static constexpr UINT kRehookMessage = WM_USER + 1;

    TWinControl* Control() const { return control_; }
    // Unhooks, stores the control and hooks its window (or its form's).
    void SetControl(TWinControl* control);
    THookTarget Target() const { return target_; }
    void SetTarget(THookTarget target);

    HWND HookedWindow() const { return hooked_; }
    HWND UtilityWindow() const;

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    struct TMessage {
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        LRESULT Result;
    };
    static constexpr int kControlRemoved = 1;
    static constexpr int kHookAgain = 2;

    // Reason kControlRemoved forgets the control; any other reason hooks.
    virtual void HookStateChange(int reason);
    // Every message of the hooked window; the default passes it to the previous procedure.
    virtual void WndProc(TMessage& message);
    // Called right after a window has been hooked and before it is given back.
    virtual void AfterHook() {}
    virtual void BeforeUnhook() {}

    void Hook();
    void Unhook();

private:
    class Utility;
    static LRESULT CALLBACK HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    TWinControl* FindTarget(bool raise) const;

    std::unique_ptr<Utility> utility_;
    TWinControl* control_ = nullptr;
    THookTarget target_ = THookTarget::htControl;
    WNDPROC previous_ = nullptr;
    HWND hooked_ = nullptr;
};

} // namespace tolvern
