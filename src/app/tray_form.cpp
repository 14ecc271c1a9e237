// TForm1: the invisible main form that owns the notification-area icon.
#include "app/tray_form.h"

#include "app/foreground.h"
#include "app/resource_ids.h"
#include "app/settings_form.h"
#include "base/text.h"

#include <utility>

namespace tolvern {

namespace {
// At the notification area's size: the resources hold pictures drawn for each scaling.
HICON LoadSmallIcon(int id) {
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
} // namespace

TForm1::TForm1(Application& application) : Form(application) {
    CreateForm(L"TForm1", application.Title().c_str(), WS_POPUP);
    // What the form definition holds: the tray icon, visible, and the two state icons; the icon
    // is added once the definition is read (Loaded). Until the launcher is ready it shows the
    // picture of a launcher being built, so a click meanwhile is not taken for a dead icon.
    TaskTrayIcon1 = std::make_unique<TTaskTrayIcon>(this);
    imgON.reset(LoadSmallIcon(IDI_TRAY_ON));
    imgOFF.reset(LoadSmallIcon(IDI_TRAY_OFF));
    TaskTrayIcon1->SetIcon(imgOFF.get());
    TaskTrayIcon1->OnMouseDown = [this](TComponent* sender, TMouseButton button, TShiftState shift,
                                        int x, int y) {
        TaskTrayIcon1MouseDown(sender, button, shift, x, y);
    };
    TaskTrayIcon1->OnDblClick = [this](TComponent* sender) { TaskTrayIcon1DblClick(sender); };
    TaskTrayIcon1->Loaded();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::FormCreate() {
    RestoreWindowList.clear();
    TaskTrayIcon1->SetHint(App().Title());
    // The application window's system menu loses its first four items (restore, move, size,
    // minimise), which make no sense for a program without a window.
    HMENU systemMenu = ::GetSystemMenu(App().Handle(), FALSE);
    for (int i = 0; i < 4 && systemMenu; ++i)
        ::DeleteMenu(systemMenu, 0, MF_BYPOSITION);
    App().HelpFile = ProgramDirectory() + L"\\korrin.hlp";
}

void TForm1::FormDestroy() {
    RestoreWindowList.clear();
}

void TForm1::TaskTrayIcon1MouseDown(TComponent*, TMouseButton button, TShiftState, int x, int y) {
    // No menu while the settings dialog is open: a press on the icon brings the dialog to the
    // front (the icon's owner, hidden, took the foreground for a menu).
    if (Form2 && Form2->IsVisible()) {
        ::SetForegroundWindow(Form2->Handle());
        return;
    }
    if (button != TMouseButton::mbRight)
        return;
    if (!Form2 || !Form2->LauncherReady) {
        RememberPopup(TPendingPopup::TrayClick, POINT{x, y});
        return;
    }
    const LauncherSettings& options = Form2->Options();
    // On the monitor under the pointer: at the chosen corner of it, or at the pointer.
    POINT at{x, y};
    bool alignRight = false;
    std::optional<POINT> cursorTarget;
    if (options.PopupOnSelPos) {
        const TCornerPlacement placement = Form2->PlaceAtChosenCorner(nullptr, at);
        at = placement.popupPoint;
        alignRight = placement.alignRight;
        if (options.MoveCursor)
            cursorTarget = placement.cursorTarget;
    } else {
        at = PointOnMonitor(at, ChooseMonitor(CurrentScreenLayout(), std::nullopt, at).monitor);
    }
    // The window the user worked in lies below the foreground one (the taskbar that was
    // clicked, or our own form); when the walk finds none the earlier one is kept. Wine does
    // not raise our hidden form when it takes the foreground, nor keep the taskbar topmost:
    // from our own form the walk starts at the top, and passes over the taskbar.
    auto userWindow = [this](HWND w) { return Form2->IsWindowToGoBackTo(w); };
    HWND foreground = ::GetForegroundWindow();
    HWND previous = foreground && Form2->IsOwnWindow(foreground)
                        ? FindWindowFrom(::GetTopWindow(nullptr), userWindow)
                        : FindWindowBelow(foreground, userWindow);
    if (previous)
        Form2->PreviousForegroundWindow = previous;
    Form2->PopupLauncherMenu(at, Handle(), cursorTarget, alignRight);
}

namespace {
// Posted to the tray form when the launcher becomes ready with a request waiting.
constexpr UINT kRunPendingPopup = WM_APP + 1;
} // namespace

void TForm1::RememberPopup(TPendingPopup trigger, POINT at) {
    pendingPopup_ = trigger;
    pendingPoint_ = at;
}

void TForm1::LauncherBecameReady() {
    if (pendingPopup_ != TPendingPopup::None)
        ::PostMessageW(Handle(), kRunPendingPopup, 0, 0);
}

void TForm1::RunPendingPopup() {
    // Not ready again (a restart between the post and now): the next readiness runs it.
    if (!Form2 || !Form2->LauncherReady)
        return;
    const TPendingPopup trigger = std::exchange(pendingPopup_, TPendingPopup::None);
    if (trigger == TPendingPopup::TrayClick)
        TaskTrayIcon1MouseDown(TaskTrayIcon1.get(), TMouseButton::mbRight, ssRight, pendingPoint_.x,
                               pendingPoint_.y);
    else if (trigger == TPendingPopup::HotKey)
        Form2->WMHotKey();
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunPendingPopup) {
        RunPendingPopup();
        return 0;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

void TForm1::TaskTrayIcon1DblClick(TComponent*) {
    if (Form2)
        Form2->mnuPopupShowDesktopClick(nullptr);
}

} // namespace tolvern
