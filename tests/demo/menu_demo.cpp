// Menu demo: pops up the banner menu with the launcher's fixed items, stock images and a
// two-level submenu, for screenshots. "--office97" selects the Office97 style; the menu pops
// up again after each choice until it is dismissed without one.
#include "base/com.h"
#include "framework/application.h"
#include "support/demo_menu.h"

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    tolvern::OleScope ole;
    int style = 0;
    for (int i = 1; i < argc; ++i)
        if (std::wcscmp(argv[i], L"--office97") == 0)
            style = 1;
    tolvern::Application app;
    app.SetTitle(L"Tolvern Launcher");
    tolvern::test::DemoMenu demo(style);
    ::SetForegroundWindow(demo.menu.WindowHandle());
    for (;;) {
        const int before = demo.clicks;
        demo.menu.Popup(120, 80);
        if (demo.clicks == before)
            break;
    }
    return 0;
}
