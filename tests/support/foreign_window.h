// A visible window run by a thread of its own, as another program's window would be: the
// foreground and the Z order treat it as a window of another thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace tolvern::test {

class ForeignWindow {
public:
    // hangMs: the thread answers nothing for that long once the window is made, as a hung
    // program's would; then it handles what came meanwhile.
    explicit ForeignWindow(DWORD style = WS_POPUP | WS_VISIBLE, const wchar_t* title = L"foreign",
                           DWORD exStyle = 0, DWORD hangMs = 0) {
        thread_ = std::thread([this, style, title, exStyle, hangMs] {
            window_ = ::CreateWindowExW(exStyle, L"STATIC", title, style, 100, 100, 200, 100,
                                        nullptr, nullptr, nullptr, nullptr);
            ready_ = true;
            ::Sleep(hangMs);
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
                ::DispatchMessageW(&msg);
            if (::IsWindow(window_))
                ::DestroyWindow(window_);
        });
        while (!ready_)
            ::Sleep(5);
        threadId_ = ::GetWindowThreadProcessId(window_, nullptr);
    }
    ~ForeignWindow() {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    std::thread thread_;
    std::atomic<bool> ready_{false};
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
};

// Another thread's window takes the foreground when that thread runs, not at once.
inline bool ForegroundBecomes(HWND window) {
    for (int i = 0; i < 100 && ::GetForegroundWindow() != window; ++i)
        ::Sleep(10);
    return ::GetForegroundWindow() == window;
}

} // namespace tolvern::test
