// The three objects the program's entry creates, on a scratch settings key, for tests of a
// started settings form.
#pragma once

#include "app/settings_form.h"
#include "app/tray_form.h"
#include "support/scratch_key.h"

#include <string>
#include <vector>

namespace tolvern::test {

struct StartedLauncher {
    explicit StartedLauncher(const ScratchKey& key)
        : form2(app, form1, key.Path(), key.StartupFolder()) {
        // An earlier test's application may have ended its loop without running it; its quit
        // request would close this test's menus and message boxes at once.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            ;
    }
    TLauncherMenu& menu() { return form2.Menu; }
    Application app;
    TForm1 form1{app};
    TForm2 form2;
};

// Stores the entries in the key's "MyMenu" section with their "MenuCount".
inline void StoreEntries(const ScratchKey& key, const std::vector<MyMenuEntry>& entries) {
    key.SetString(kSettingSection, L"MenuCount", std::to_wstring(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        key.SetString(kMyMenuSection, L"Caption" + std::to_wstring(i), entries[i].Caption);
        key.SetString(kMyMenuSection, L"Path" + std::to_wstring(i), entries[i].Path);
    }
}

} // namespace tolvern::test
