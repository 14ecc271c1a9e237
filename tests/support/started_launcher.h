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

// The top-level texts of the launcher menu with no entries, less the hidden special folders.
inline std::vector<std::wstring> TopLevelTexts(std::initializer_list<std::wstring> hidden = {}) {
    std::vector<std::wstring> texts = {L"デスクトップの表示(&V)",
                                       L"",
                                       L"デスクトップ(&T)",
                                       L"プログラム(&P)",
                                       L"マイ ドキュメント(&M)",
                                       L"最近使ったファイル(&D)",
                                       L"お気に入り(&A)",
                                       L"履歴(&H)",
                                       L"",
                                       L"(なし)",
                                       L"",
                                       L"設定(&S)",
                                       L"",
                                       L"Windows の終了(&U)..."};
    for (const std::wstring& text : hidden)
        std::erase(texts, text);
    return texts;
}

} // namespace tolvern::test
