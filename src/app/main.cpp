// Program entry of the launcher.
#include "app/launcher_entry.h"
#include "base/com.h"

#ifdef TOLVERN_TEST_HOOKS
#include "app/tray_form.h"

#include <stdexcept>
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    tolvern::OleScope ole;
    if (!ole.ok())
        return tolvern::kExitOleFailed;
#ifdef TOLVERN_TEST_HOOKS
    // Test build only: a mouse move over the tray icon throws from an event handler, so the
    // end-to-end tests can check that such an exception ends the program without saving.
    return tolvern::RunLauncher(
        tolvern::CommandLineArguments(), [](tolvern::TForm1& form1, tolvern::TForm2&) {
            form1.TaskTrayIcon1->OnMouseMove = [](tolvern::TComponent*, tolvern::TShiftState, int,
                                                  int) { throw std::runtime_error("test hook"); };
        });
#else
    return tolvern::RunLauncher(tolvern::CommandLineArguments());
#endif
}
