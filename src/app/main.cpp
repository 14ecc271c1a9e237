// Program entry of the launcher.
#include "app/launcher_entry.h"
#include "base/com.h"

#ifdef TOLVERN_TEST_HOOKS
#include "app/settings_form.h"
#include "app/tray_form.h"
#include "support/drop_files.h"

#include <stdexcept>

namespace {
// Test build only: files "dropped" by another process. Wine does not carry a drop handle across
// processes, so the test sends the paths (WM_COPYDATA, each ended by a zero) and the handle is
// built here, as the shell builds it, and posted to the My Menu list.
LRESULT CALLBACK TestDropProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* form2 = reinterpret_cast<tolvern::TForm2*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* text = static_cast<const wchar_t*>(data->lpData);
        std::vector<std::wstring> paths;
        for (size_t at = 0; at < data->cbData / sizeof(wchar_t); at += paths.back().size() + 1)
            paths.emplace_back(text + at);
        tolvern::test::PostDropFiles(form2->MyMenuPage->ListView1(), paths, POINT{});
        return TRUE;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void CreateTestDropWindow(tolvern::TForm2& form2) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestDropProc;
    wc.lpszClassName = L"TolvernTestDrop";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  nullptr, nullptr);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form2));
}
} // namespace
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    tolvern::OleScope ole;
    if (!ole.ok())
        return tolvern::kExitOleFailed;
#ifdef TOLVERN_TEST_HOOKS
    // Test build only: a mouse move over the tray icon throws from an event handler, so the
    // end-to-end tests can check that such an exception ends the program without saving.
    return tolvern::RunLauncher(
        tolvern::CommandLineArguments(), [](tolvern::TForm1& form1, tolvern::TForm2& form2) {
            form1.TaskTrayIcon1->OnMouseMove = [](tolvern::TComponent*, tolvern::TShiftState, int,
                                                  int) { throw std::runtime_error("test hook"); };
            CreateTestDropWindow(form2);
        });
#else
    return tolvern::RunLauncher(tolvern::CommandLineArguments());
#endif
}
