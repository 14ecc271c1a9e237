// The system's font dialog answered from a second thread: the size it shows, then OK.
#include "support/font_dialog_answer.h"

#include "support/screen_capture.h"

#include <windows.h>

#include <dlgs.h>

#include <thread>

namespace tolvern::test {

std::wstring FontDialogSizeShown(const std::function<void()>& open, const std::wstring& artifact) {
    std::wstring sizeShown;
    std::thread okay([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 100 && !(dialog = ::FindWindowW(L"#32770", nullptr)); ++i)
            ::Sleep(50);
        if (!dialog)
            return;
        ::Sleep(300);
        if (!artifact.empty()) {
            RECT rect{};
            ::GetWindowRect(dialog, &rect);
            SaveArtifact(CaptureScreen(&rect), artifact);
        }
        wchar_t text[32] = {};
        ::GetDlgItemTextW(dialog, cmb3, text, 32); // the size box
        sizeShown = text;
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    open();
    okay.join();
    return sizeShown;
}

} // namespace tolvern::test
