// The program's start: single instance, the "/WAIT:" argument, the forms, the message loop.
#include "app/launcher_entry.h"

#include "app/settings_form.h"
#include "app/tray_form.h"
#include "base/registry_ini.h"
#include "base/text.h"
#include "base/unique_handle.h"
#include "settings/about_box.h"
#include "settings/launcher_messages.h"
#include "settings/launcher_settings.h"
#include "settings/shortcut_text.h"

#include <shellapi.h>

namespace tolvern {

WaitArgument ParseWaitArgument(const std::vector<std::wstring>& arguments) {
    static constexpr std::wstring_view kPrefix = L"/WAIT:";
    if (arguments.empty() || arguments[0].size() < kPrefix.size() ||
        ToUpperInvariant(std::wstring_view(arguments[0]).substr(0, kPrefix.size())) != kPrefix)
        return {};
    const auto seconds = ParseDecimalInt(std::wstring_view(arguments[0]).substr(kPrefix.size()));
    if (!seconds)
        return {WaitArgument::Kind::Invalid, 0};
    if (*seconds <= 0)
        return {};
    const long long ms = static_cast<long long>(*seconds) * 1000;
    return {WaitArgument::Kind::Wait,
            static_cast<DWORD>(ms > kMaxWaitMilliseconds ? kMaxWaitMilliseconds : ms)};
}

std::vector<std::wstring> CommandLineArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (argv) {
        for (int i = 1; i < count; ++i)
            arguments.emplace_back(argv[i]);
        ::LocalFree(argv);
    }
    return arguments;
}

bool ClaimSingleInstance(const wchar_t* name, UniqueHandleObject& mutex) {
    UniqueHandleObject other(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name));
    if (other || ::GetLastError() == ERROR_ACCESS_DENIED)
        return false;
    mutex.reset(::CreateMutexW(nullptr, FALSE, name));
    // No handle means the name exists and is not ours to open (a copy running elevated).
    return mutex && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

int RunLauncher(const std::vector<std::wstring>& arguments,
                const std::function<void(TForm1&, TForm2&)>& afterCreate) {
    // No shell call on a drive without a medium may stop the user with an "insert a disk" box.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS);

    UniqueHandleObject mutex;
    if (!ClaimSingleInstance(kMutexName, mutex))
        return kExitOk;

    const WaitArgument wait = ParseWaitArgument(arguments);
    if (wait.kind == WaitArgument::Kind::Invalid) {
        const std::wstring text = L"起動オプション '" + arguments[0] +
                                  L"' の待ち時間が正しい数値ではありません。\n"
                                  L"\"/WAIT:秒数\" の形で指定してください。";
        ::MessageBoxW(nullptr, text.c_str(), kApplicationTitle,
                      MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
        return kExitBadArgument;
    }
    if (wait.kind == WaitArgument::Kind::Wait)
        ::Sleep(wait.milliseconds);

    // Before the settings form installs the program's exception handler, a failure to create
    // the windows ends the program with an exit code instead of an abort.
    try {
        Application application;
        HWND appWindow = application.Handle();
        ::SetWindowLongPtrW(appWindow, GWL_EXSTYLE,
                            ::GetWindowLongPtrW(appWindow, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        application.ShowMainForm = false;
        application.SetTitle(kApplicationTitle);

        // Asked before the settings form loads, since loading already stores the start-up
        // choice: once anything is stored, the program has been started before.
        const bool firstStart = !RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKeyPath);
        TForm1 form1(application);
        application.MainForm = &form1;
        TForm2 form2(application, form1);
        TAboutBox aboutBox(application);
        form2.AboutBox = &aboutBox;
        if (afterCreate)
            afterCreate(form1, form2);
        if (firstStart && form2.LauncherReady)
            form1.TaskTrayIcon1->ShowBalloon(
                kApplicationTitle, FirstStartBalloonText(ShortCutToText(form2.Options().HotKey)));

        application.Run();
        // The forms are destroyed in reverse order: the About box, the settings form (which
        // saves), then the tray form (which removes the icon).
    } catch (...) {
        return kExitStartFailed;
    }
    return kExitOk;
}

} // namespace tolvern
