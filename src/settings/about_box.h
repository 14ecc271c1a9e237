// The version dialog: created hidden at start from its template, shown modally from the
// launcher menu.
#pragma once

#include "base/unique_handle.h"
#include "framework/application.h"
#include "framework/dialog_dpi.h"
#include "framework/component.h"

#include <windows.h>

#include <functional>
#include <string>

namespace tolvern {

// The link's caption in the template is this address.
inline constexpr wchar_t kProductPageUrl[] = L"https://marrowick.example/tolvern/";

// The box's version line: "Version major.minor", with ".patch" only when the patch is not 0
// (version 0.3.0 reads "Version 0.3").
std::wstring VersionCaption(int major, int minor, int patch);

class TAboutBox : public TComponent {
public:
    // Creates the dialog's window, hidden and owned by the application window; the product name
    // is the application's title at this moment.
    explicit TAboutBox(Application& application);
    ~TAboutBox() override;

    HWND Handle() const { return hwnd_; }

    // Shows the dialog centred on the screen, with the program's other windows disabled, and
    // runs its modal loop until OK, Enter, Esc or the close box ends it; returns IDOK or
    // IDCANCEL (0 when the application was told to quit meanwhile; the quit is passed on).
    int ShowModal();
    bool Showing() const { return modal_; }

    // Opens the web page; the default hands the address to the shell, which starts the user's
    // browser. Replaceable, so a test sees the address without a browser.
    std::function<void(HWND owner, const std::wstring& url)> OpenPage;

    // Both the link and the flat button over it.
    void CommentsClick();

private:
    void FormCreate();
    // What the box sizes in pixels, for the DPI it is drawn for: the product's font, the link's
    // font and place, the icon.
    void ApplyDpi();
    void LayOutLink();
    void ShowIcon();
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Application& application_;
    HWND hwnd_ = nullptr;
    TDialogDpi dpi_;
    UniqueFont productFont_;
    UniqueFont linkFont_;
    UniqueIcon icon_;
    // The link's place in the template, at the DPI of the box's making.
    RECT linkArea_{};
    int linkAreaDpi_ = kBaseDpi;
    bool modal_ = false;
    int modalResult_ = 0;
};

} // namespace tolvern
