// TForm1: the invisible main form that owns the notification-area icon.
#include "app/tray_form.h"

#include "app/foreground.h"
#include "app/resource_ids.h"
#include "app/settings_form.h"
#include "base/text.h"

namespace tolvern {

namespace {
bool IsTaskbar(HWND window) {
    return WindowClassName(window) == L"Shell_TrayWnd";
}

HICON LoadSmallIcon(int id) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}
} // namespace

TForm1::TForm1(Application& application) : Form(application) {
    CreateForm(L"TForm1", application.Title().c_str(), WS_POPUP);
    // What the form definition holds: the tray icon with its built-in picture, visible, and the
    // two state icons; the icon is added once the definition is read (Loaded).
    TaskTrayIcon1 = std::make_unique<TTaskTrayIcon>(this);
    UniqueIcon builtIn(LoadSmallIcon(IDI_TRAY_BUILTIN));
    TaskTrayIcon1->SetIcon(builtIn.get());
    TaskTrayIcon1->OnMouseDown = [this](TComponent* sender, TMouseButton button, TShiftState shift,
                                        int x, int y) {
        TaskTrayIcon1MouseDown(sender, button, shift, x, y);
    };
    TaskTrayIcon1->OnDblClick = [this](TComponent* sender) { TaskTrayIcon1DblClick(sender); };
    imgON.reset(LoadSmallIcon(IDI_TRAY_ON));
    imgOFF.reset(LoadSmallIcon(IDI_TRAY_OFF));
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
    if (!Form2 || !Form2->LauncherReady || button != TMouseButton::mbRight || Form2->IsVisible())
        return;
    const LauncherSettings& options = Form2->Options();
    POINT at{x, y};
    std::optional<POINT> cursorTarget;
    if (options.PopupOnSelPos) {
        const TCornerPlacement placement = Form2->PlaceAtChosenCorner();
        at = placement.popupPoint;
        if (options.MoveCursor)
            cursorTarget = placement.cursorTarget;
    }
    // The window the user worked in lies below the foreground one (the taskbar that was
    // clicked, or our own form); when the walk finds none the earlier one is kept. Wine does
    // not raise our hidden form when it takes the foreground, nor keep the taskbar topmost:
    // from our own form the walk starts at the top, and passes over the taskbar.
    auto userWindow = [this](HWND w) {
        return !Form2->IsOwnWindow(w) && (::GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) &&
               !IsTaskbar(w);
    };
    HWND foreground = ::GetForegroundWindow();
    HWND previous = foreground && Form2->IsOwnWindow(foreground)
                        ? FindWindowFrom(::GetTopWindow(nullptr), userWindow)
                        : FindWindowBelow(foreground, userWindow);
    if (previous)
        Form2->PreviousForegroundWindow = previous;
    Form2->PopupLauncherMenu(at, Handle(), cursorTarget);
}

void TForm1::TaskTrayIcon1DblClick(TComponent*) {
    if (Form2)
        Form2->mnuPopupShowDesktopClick(nullptr);
}

} // namespace tolvern
