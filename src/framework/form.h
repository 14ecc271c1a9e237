// A form: a top-level window owned by the application window, and the owner of components.
#pragma once

#include "framework/application.h"
#include "framework/win_control.h"

namespace tolvern {

class Form : public Window, public TWinControl {
public:
    explicit Form(Application& application) : application_(application) {}

    HWND WindowHandle() const override { return Handle(); }

    Application& App() const { return application_; }
    void Show() { ::ShowWindow(Handle(), SW_SHOW); }
    void Hide() { ::ShowWindow(Handle(), SW_HIDE); }
    bool IsVisible() const { return ::IsWindowVisible(Handle()) != FALSE; }
    // Closing the main form ends the application; any other form is only hidden.
    void Close() { ::SendMessageW(Handle(), WM_CLOSE, 0, 0); }

protected:
    // Creates the form's window, owned by the application window.
    void CreateForm(const wchar_t* className, const wchar_t* caption, DWORD style,
                    DWORD exStyle = 0, int width = 0, int height = 0) {
        CreateHandle(className, caption, style, exStyle, application_.Handle(), CW_USEDEFAULT,
                     CW_USEDEFAULT, width, height);
    }
    // Creates the form's window from its dialog template (whose CLASS is className).
    void CreateFormFromTemplate(const wchar_t* className, int templateId) {
        CreateDialogHandle(className, templateId, application_.Handle());
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            if (application_.MainForm == this)
                application_.Terminate();
            else
                Hide();
            return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }

private:
    Application& application_;
};

} // namespace tolvern
