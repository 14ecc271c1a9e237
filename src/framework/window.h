// Window base class: one C++ object per window, messages forwarded to HandleMessage.
#pragma once

#include <windows.h>

#include <string>

namespace tolvern {

// A window's text (a control's caption) and its class's name, of any length.
std::wstring WindowText(HWND window);
std::wstring WindowClassName(HWND window);

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

protected:
    Window() = default;

    // Registers the class on first use (CS_DBLCLKS, arrow cursor) and creates the window.
    void CreateHandle(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                      HWND parent, int x = 0, int y = 0, int width = 0, int height = 0);
    // Creates the window from a dialog template whose CLASS statement names className; what
    // the window does not handle itself goes to the dialog manager (DefDlgProc), so it is a
    // real dialog with the template's controls, font and keyboard interface.
    void CreateDialogHandle(const wchar_t* className, int templateId, HWND owner);
    void DestroyHandle();

    // Default: the system's default window procedure.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    WNDPROC defaultProc_ = ::DefWindowProcW;
};

} // namespace tolvern
