// Pops up the launcher menu of a started settings form (no tray handling), for a person to look
// at and drive with the keyboard: launcher_menu_demo [--office97] [--large] [x y]
#include "app/settings_form.h"
#include "app/tray_form.h"
#include "base/com.h"
#include "app/launcher_entry.h"

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    using namespace tolvern;
    OleScope ole;
    Application app;
    app.SetTitle(kApplicationTitle);
    TForm1 form1(app);
    app.MainForm = &form1;
    TForm2 form2(app, form1);
    int x = 200, y = 150;
    std::vector<int> numbers;
    for (const std::wstring& argument : CommandLineArguments()) {
        if (argument == L"--office97")
            form2.SetMenuDrawStyle(1);
        else if (argument == L"--large")
            form2.SetLargeIcon(true);
        else
            numbers.push_back(std::stoi(argument));
    }
    if (numbers.size() == 2) {
        x = numbers[0];
        y = numbers[1];
    }
    ::SetForegroundWindow(form2.PopupMenu2.WindowHandle());
    form2.PopupMenu2.Popup(x, y);
    return 0;
}
