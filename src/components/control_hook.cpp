// TControlHook: takes over the window procedure of a control (or of its form) and keeps the
// takeover in force when the control's window is destroyed and created anew.
#include "components/control_hook.h"

#include "framework/application.h"
#include "framework/form.h"

#include <utility>

namespace tolvern {

namespace {
// The object that hooked a window, and the procedure it replaced. The second stays on the
// window while the object's procedure does, so that a window left behind still forwards.
constexpr wchar_t kHookProp[] = L"TolvernControlHook";
constexpr wchar_t kPreviousProp[] = L"TolvernControlHook.Previous";
} // namespace

class TControlHook::Utility : public Window {
public:
    explicit Utility(TControlHook& hook) : hook_(hook) {
        CreateHandle(L"TolvernControlHookUtility", L"", WS_POPUP, 0, HWND_MESSAGE);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kRehookMessage) {
            try {
                hook_.HookStateChange(kHookAgain);
            } catch (...) {
                ReportException(std::current_exception());
            }
        }
        return DefaultHandler(message, wParam, lParam);
    }

private:
    TControlHook& hook_;
};

TControlHook::TControlHook(TComponent* owner)
    : TComponent(owner), utility_(std::make_unique<Utility>(*this)) {}

TControlHook::~TControlHook() {
    Unhook();
    utility_.reset();
}

HWND TControlHook::UtilityWindow() const {
    return utility_->Handle();
}

void TControlHook::SetControl(TWinControl* control) {
    Unhook();
    control_ = control;
    Hook();
}

void TControlHook::SetTarget(THookTarget target) {
    Unhook();
    target_ = target;
    Hook();
}

void TControlHook::Loaded() {
    TComponent::Loaded();
    SetControl(control_);
}

void TControlHook::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (component == control_ && operation == TOperation::opRemove)
        HookStateChange(kControlRemoved);
}

void TControlHook::HookStateChange(int reason) {
    if (reason == kControlRemoved)
        control_ = nullptr; // its window is gone already: nothing to put back
    else
        Hook();
}

TWinControl* TControlHook::FindTarget(bool raise) const {
    if (target_ == THookTarget::htControl)
        return control_;
    for (const TComponent* c = control_ ? static_cast<const TComponent*>(control_) : this; c;
         c = c->Owner()) {
        if (auto* form = dynamic_cast<const Form*>(c))
            return const_cast<Form*>(form);
    }
    if (raise)
        throw EComponentError(L"フック先を特定できません。");
    return nullptr;
}

void TControlHook::Hook() {
    TWinControl* target = FindTarget(true);
    if (!target)
        return;
    HWND window = target->WindowHandle();
    if (!window)
        return;
    if (hooked_)
        Unhook();
    target->FreeNotification(this);
    hooked_ = window;
    previous_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    ::SetPropW(window, kHookProp, this);
    ::SetPropW(window, kPreviousProp, reinterpret_cast<HANDLE>(previous_));
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc));
    AfterHook();
}

void TControlHook::Unhook() {
    if (!hooked_)
        return;
    HWND window = std::exchange(hooked_, nullptr);
    if (!::IsWindow(window))
        return;
    const TWinControl* target = FindTarget(false);
    if (::GetPropW(window, kHookProp) == this)
        ::RemovePropW(window, kHookProp);
    if (target && target->WindowHandle() == window) {
        hooked_ = window; // what BeforeUnhook undoes still sees the window
        BeforeUnhook();
        hooked_ = nullptr;
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        ::RemovePropW(window, kPreviousProp);
    }
}

void TControlHook::WndProc(TMessage& message) {
    message.Result =
        ::CallWindowProcW(previous_, hooked_, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK TControlHook::HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TControlHook*>(::GetPropW(hwnd, kHookProp));
    auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProp));
    if (!self || self->hooked_ != hwnd) {
        // Left behind by a hook that no longer owns this window: only forward.
        return previous ? ::CallWindowProcW(previous, hwnd, message, wParam, lParam)
                        : ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        if (message == WM_DESTROY) {
            // The window may be on its way to being created anew: hook again once the
            // message loop runs, when the new window exists.
            ::PostMessageW(self->UtilityWindow(), kRehookMessage, 0, 0);
            self->Unhook();
            return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
        }
        TMessage m{message, wParam, lParam, 0};
        self->WndProc(m);
        return m.Result;
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
}

} // namespace tolvern
