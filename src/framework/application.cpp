// The application object: hidden top-level window, title, message loop, exception policy.
#include "framework/application.h"

#include <utility>

namespace tolvern {

namespace {
thread_local Application* currentApplication = nullptr;
thread_local std::exception_ptr unhandledException;
} // namespace

Application::Application() : previous_(currentApplication) {
    currentApplication = this;
    // Like a forms library's application window: a captioned popup of no size that is never
    // shown; it owns the forms and carries the system menu.
    CreateHandle(L"TolvernApplication", L"",
                 WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, nullptr,
                 0, 0, 0, 0);
}

Application::~Application() {
    DestroyHandle();
    currentApplication = previous_;
}

Application* Application::Current() {
    return currentApplication;
}

void Application::SetTitle(const std::wstring& title) {
    title_ = title;
    ::SetWindowTextW(Handle(), title.c_str());
}

void Application::HandleException(std::exception_ptr error) noexcept {
    if (OnException) {
        try {
            OnException(error);
            return;
        } catch (...) {
        }
    }
    Terminate();
}

void Application::Terminate() {
    if (!terminated_) {
        terminated_ = true;
        ::PostQuitMessage(0);
    }
}

bool Application::ProcessMessage(MSG& msg) {
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

void Application::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void Application::Run() {
    MSG msg;
    while (!terminated_) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            terminated_ = true;
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void ReportException(std::exception_ptr error) noexcept {
    if (currentApplication)
        currentApplication->HandleException(error);
    else
        unhandledException = error;
}

std::exception_ptr TakeReportedException() noexcept {
    return std::exchange(unhandledException, nullptr);
}

} // namespace tolvern
