// Window base class: one C++ object per window, messages forwarded to HandleMessage.
#include "framework/window.h"

#include "framework/application.h"

#include <stdexcept>
#include <utility>

namespace tolvern {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring WindowClassName(HWND window) {
    wchar_t name[257] = {}; // class names are at most 256 characters
    return std::wstring(name, static_cast<size_t>(::GetClassNameW(window, name, 257)));
}

Window::~Window() {
    DestroyHandle();
}

namespace {
// Registers the class on first use (CS_DBLCLKS, arrow cursor, the program's icon). A dialog's
// class has the dialog manager's extra bytes and leaves the background to it.
HINSTANCE RegisterWindowClass(const wchar_t* className, WNDPROC procedure, bool dialog) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!::GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = procedure;
        wc.cbWndExtra = dialog ? DLGWINDOWEXTRA : 0;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = dialog ? nullptr : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
        ::RegisterClassExW(&wc);
    }
    return instance;
}
} // namespace

void Window::DestroyHandle() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

void Window::CreateHandle(const wchar_t* className, const wchar_t* caption, DWORD style,
                          DWORD exStyle, HWND parent, int x, int y, int width, int height) {
    HINSTANCE instance = RegisterWindowClass(className, StaticWindowProc, false);
    HWND hwnd = ::CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent,
                                  nullptr, instance, this);
    if (!hwnd)
        throw std::runtime_error("CreateWindowEx failed");
}

namespace {
// The dialog manager creates the window without a creation parameter, so the object waiting
// for its window is handed over here (one thread, one creation at a time).
thread_local Window* pendingDialog = nullptr;

INT_PTR CALLBACK DefaultDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG; // the dialog manager then focuses the first control
}
} // namespace

void Window::CreateDialogHandle(const wchar_t* className, int templateId, HWND owner) {
    HINSTANCE instance = RegisterWindowClass(className, StaticWindowProc, true);
    defaultProc_ = ::DefDlgProcW;
    pendingDialog = this;
    HWND hwnd =
        ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, DefaultDialogProc, 0);
    pendingDialog = nullptr;
    if (!hwnd)
        throw std::runtime_error("CreateDialogParam failed");
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(message, wParam, lParam);
}

LRESULT Window::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultProc_(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            pendingDialog
                ? std::exchange(pendingDialog, nullptr)
                : static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // No C++ exception may unwind through the system's frames.
    try {
        LRESULT result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
}

} // namespace tolvern
