// The application object: hidden top-level window, title, message loop, exception policy.
#pragma once

#include "framework/window.h"

#include <exception>
#include <functional>
#include <string>

namespace tolvern {

class Application : public Window {
public:
    Application();
    ~Application() override;

    // The one application of this thread, if any; window procedures report to it.
    static Application* Current();

    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    bool ShowMainForm = true;
    Window* MainForm = nullptr;
    std::wstring HelpFile;

    // Receives every exception that escapes an event handler or window procedure. Without a
    // handler the application terminates.
    std::function<void(std::exception_ptr)> OnException;
    void HandleException(std::exception_ptr error) noexcept;

    // Runs the message loop until Terminate is called (or WM_QUIT arrives).
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Dispatches every message waiting in this thread's queue.
    void ProcessMessages();

private:
    bool ProcessMessage(MSG& msg);

    std::wstring title_;
    bool terminated_ = false;
    Application* previous_ = nullptr;
};

// Routes an exception caught at a Windows API boundary to the current application. With no
// application (a test without one) it is kept and can be taken with TakeReportedException.
void ReportException(std::exception_ptr error) noexcept;
std::exception_ptr TakeReportedException() noexcept;

} // namespace tolvern
