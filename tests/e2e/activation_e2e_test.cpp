// The real launcher opening what the user chooses: My Menu entries, files and folders of a folder
// submenu, a missing file, the pool limit, help, the settings dialog and exit; big folders
// reached with End and by typing names.
#include "components/name_dialog_ids.h"
#include "menu/shell_items.h"
#include "settings/launcher_settings.h"
#include "settings/settings_dialog_ids.h"
#include "support/foreign_list_view.h"
#include "support/marker_program.h"
#include "support/running_launcher.h"
#include "support/screen_capture.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <algorithm>

namespace tolvern {
namespace {

using namespace test;

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

const std::wstring kMarker = MarkerProgram();

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

void StoreEntries(const Rows& entries) {
    SetSetting(kSettingSection, L"MenuCount", std::to_wstring(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        SetSetting(kMyMenuSection, L"Caption" + std::to_wstring(i), entries[i].first);
        SetSetting(kMyMenuSection, L"Path" + std::to_wstring(i), entries[i].second);
    }
}

// Down presses from the closed menu to the first My Menu entry: the show-desktop item and the
// six special folders come first.
constexpr int kDownsToFirstEntry = 8;

std::vector<WORD> DownsTo(int entry, const std::vector<WORD>& then) {
    std::vector<WORD> keys(static_cast<size_t>(kDownsToFirstEntry + entry), VK_DOWN);
    keys.insert(keys.end(), then.begin(), then.end());
    return keys;
}

// A visible top-level window of any program whose title holds the text.
HWND WindowTitled(const std::wstring& part) {
    struct Search {
        const std::wstring* part;
        HWND found;
    } search{&part, nullptr};
    ::EnumWindows(
        [](HWND w, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t title[256] = {};
            ::GetWindowTextW(w, title, 256);
            if (::IsWindowVisible(w) && Contains(title, *s->part)) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

using ActivationEndToEnd = LauncherEndToEndTest;

TEST_F(ActivationEndToEnd, EntriesFilesAndFoldersOpenAndAMissingFileIsReported) {
    RegisterMarkerForPages();
    const std::wstring folder = TempDir() + L"tolvern-folder";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(kMarker.c_str(), (folder + L"\\inner.exe").c_str(), FALSE));
    const std::wstring gone = TempDir() + L"gone-tool.exe";
    ASSERT_TRUE(::CopyFileW(kMarker.c_str(), gone.c_str(), FALSE));
    StoreEntries({{L"Marker", kMarker}, {L"Gone", gone}, {L"Folder", folder}});
    RunningLauncher launcher;
    ::DeleteFileW(gone.c_str());

    // A My Menu entry starts its program.
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(0, {VK_RETURN})));
    ASSERT_TRUE(WaitForMarkerLines(1)) << "the entry's program did not start";
    EXPECT_TRUE(Contains(MarkerLines()[0], L"TestMarker.exe"));

    // An entry whose file went away after loading says so, with its path, and starts nothing.
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(1, {VK_RETURN})));
    HWND box = nullptr;
    EXPECT_EQ(L"'" + gone + L"' を開けません。ファイルがあるかどうか確認してください。",
              launcher.WaitForMessageBox(&box));
    ASSERT_NE(nullptr, box);
    wchar_t caption[64] = {};
    ::GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(kApplicationTitle, caption);
    PumpUntil([] { return false; }, 300);
    SaveArtifact(CaptureScreen(), L"e2e-message-box");
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    PumpUntil([&] { return !::IsWindow(box); }, 3000);

    // A file in a folder submenu opens; the submenu's first item opens the folder itself.
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(2, {VK_RIGHT, VK_DOWN, VK_RETURN})));
    ASSERT_TRUE(WaitForMarkerLines(2)) << "the file in the folder submenu did not open";
    EXPECT_TRUE(Contains(MarkerLines()[1], L"inner.exe"));
    EXPECT_EQ(2u, MarkerLines().size()) << "the missing entry started something";
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(2, {VK_RIGHT, VK_RETURN})));
    // Wine's shell opens folders in its own explorer window, whatever the classes say.
    HWND explorer = nullptr;
    EXPECT_TRUE(
        PumpUntil([&] { return (explorer = WindowTitled(L"tolvern-folder")) != nullptr; }, 15000))
        << "the folder's open item did not open the folder";
    if (explorer)
        ::PostMessageW(explorer, WM_CLOSE, 0, 0);
}

TEST_F(ActivationEndToEnd, AFolderPathTooLongForTheShellListsItsOwnItemsAndOpensThem) {
    RegisterMarkerForPages();
    std::vector<std::wstring> made;
    auto dir = [&](const std::wstring& path) {
        EXPECT_TRUE(::CreateDirectoryW(LongPathForm(path).c_str(), nullptr)) << path;
        made.push_back(path);
        return path;
    };
    // Pages, which the marker program opens. (Wine cannot start a program whose own path is
    // that long: its process start cuts the path at MAX_PATH.)
    auto page = [&](const std::wstring& path) {
        ::CloseHandle(::CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, PathAttributes(path)) << path;
        made.push_back(path);
        return path;
    };
    std::wstring folder = dir(TempDir() + L"tolvern-long");
    while (folder.size() < 300)
        folder = dir(folder + L"\\a-folder-name-that-makes-the-path-long");
    dir(folder + L"\\Sub");
    const std::wstring inner = page(folder + L"\\Sub\\inner.html");
    const std::wstring a = page(folder + L"\\a.html");
    const std::wstring b = page(folder + L"\\b.html");
    page(folder + L"\\c.xyz"); // no program opens it
    StoreEntries({{L"Long", folder}});
    RunningLauncher launcher;

    // The submenu: its open item, Sub, a.html, b.html; c.xyz is left out, so b.html is last.
    const std::vector<std::pair<std::vector<WORD>, std::wstring>> choices = {
        {{VK_RIGHT, VK_UP, VK_RETURN}, b},
        {{VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}, a},
        {{VK_RIGHT, VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}, inner}};
    for (size_t i = 0; i < choices.size(); ++i) {
        ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(0, choices[i].first)));
        ASSERT_TRUE(WaitForMarkerLines(i + 1)) << "nothing started for choice " << i;
        // The marker's command line: its own path, then the page's, in whichever form it was given.
        std::wstring started = MarkerLines()[i];
        started = started.substr(started.find(L"\" \"") + 3);
        started = started.substr(0, started.find(L'"'));
        EXPECT_TRUE(SameFileSystemPath(choices[i].second, started)) << started;
    }
    for (auto path = made.rbegin(); path != made.rend(); ++path)
        if (!::DeleteFileW(LongPathForm(*path).c_str()))
            ::RemoveDirectoryW(LongPathForm(*path).c_str());
}

TEST_F(ActivationEndToEnd, AnItemsContextMenuDeletesShowsPropertiesAndRemovesAnEntry) {
    RegisterMarkerForPages();
    const std::wstring folder = TempDir() + L"tolvern-context";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : {L"a-gone.html", L"b-kept.html"})
        ::CloseHandle(::CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
    StoreEntries({{L"Folder", folder}});
    RunningLauncher launcher;

    // Rename asks for the new name in a dialog of the launcher's, the old one filled in.
    ::CloseHandle(::CreateFileW((folder + L"\\0-old.html").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(0, {VK_RIGHT, VK_DOWN, VK_APPS, 'R'})));
    HWND naming = nullptr;
    PumpUntil([&] { return (naming = WindowTitled(L"名前の変更")) != nullptr; }, 10000);
    ASSERT_NE(nullptr, naming) << "no dialog asked for the name";
    HWND edit = ::GetDlgItem(naming, IDC_NAME_EDIT);
    wchar_t offered[64] = {}; // another process's control tells its text only when asked
    ::SendMessageW(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(offered));
    EXPECT_STREQ(L"0-old.html", offered);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"c-new.html"));
    ::SendMessageW(::GetDlgItem(naming, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil(
        [&] {
            return ::GetFileAttributesW((folder + L"\\c-new.html").c_str()) !=
                   INVALID_FILE_ATTRIBUTES;
        },
        10000))
        << "the file was not renamed";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((folder + L"\\0-old.html").c_str()));

    // The Apps key on the folder's first file, then the shell's Delete, which asks first.
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(0, {VK_RIGHT, VK_DOWN, VK_APPS, 'D'})));
    HWND question = nullptr;
    PumpUntil(
        [&] {
            return (question = launcher.process.FindWindowOfClass(L"#32770")) &&
                   ::IsWindowVisible(question);
        },
        10000);
    ASSERT_NE(nullptr, question) << "Delete asked nothing";
    EXPECT_EQ(nullptr, launcher.process.OpenMenuWindow()) << "the launcher menu stayed open";
    ::PostMessageW(question, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(PumpUntil(
        [&] {
            return ::GetFileAttributesW((folder + L"\\a-gone.html").c_str()) ==
                   INVALID_FILE_ATTRIBUTES;
        },
        10000))
        << "the file was not deleted";
    // The next opening lists the folder without it: its first file is the other one.
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(0, {VK_RIGHT, VK_DOWN, VK_RETURN})));
    ASSERT_TRUE(WaitForMarkerLines(1));
    EXPECT_TRUE(Contains(MarkerLines()[0], L"b-kept.html")) << MarkerLines()[0];

    // Properties: the shell's window, in front once the launcher menu has closed.
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(0, {VK_RIGHT, VK_DOWN, VK_APPS, 'P'})));
    HWND properties = nullptr;
    EXPECT_TRUE(
        PumpUntil([&] { return (properties = WindowTitled(L"b-kept.html")) != nullptr; }, 10000))
        << "no properties window";
    if (properties) {
        EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == properties; }, 5000))
            << "the properties window is not in front";
        EXPECT_EQ(nullptr, launcher.process.OpenMenuWindow());
        ::PostMessageW(properties, WM_CLOSE, 0, 0);
        PumpUntil([&] { return !::IsWindow(properties); }, 5000);
    }

    // A My Menu entry's own command: removed from the menu and the registry, after asking.
    ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(0, {VK_APPS, 'R'})));
    HWND box = nullptr;
    EXPECT_EQ(L"[マイメニュー] 項目を削除してもよろしいですか?", launcher.WaitForMessageBox(&box));
    ASSERT_NE(nullptr, box);
    ::PostMessageW(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(PumpUntil([] { return GetSetting(kSettingSection, L"MenuCount") == L"0"; }, 5000));
    EXPECT_EQ(L"<missing>", GetSetting(kMyMenuSection, L"Path0"));
    for (const wchar_t* name : {L"a-gone.html", L"b-kept.html", L"c-new.html"})
        ::DeleteFileW((folder + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

// The last row of the My Menu list moved up, down again and dragged to the top with the buttons
// and the mouse, in lists of one, two and five rows: the launcher lives on, and the list, the
// registry after closing and the menu (each entry chosen in turn) all follow.
TEST_F(ActivationEndToEnd, TheLastMyMenuRowMovesUpDownAndToTheTopInListsOfOneTwoAndFive) {
    for (int n : {1, 2, 5}) {
        SCOPED_TRACE(n);
        ResetSettings();
        RegisterMarkerForPages();
        Rows rows;
        for (int i = 0; i < n; ++i) {
            const std::wstring page = TempDir() + L"tolvern-row" + std::to_wstring(i) + L".html";
            ::CloseHandle(
                ::CreateFileW(page.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            rows.emplace_back(L"Row " + std::to_wstring(i), page);
        }
        StoreEntries(rows);
        RunningLauncher launcher;

        HWND dialog = launcher.OpenSettingsDialog();
        ASSERT_NE(nullptr, dialog);
        HWND page = ::FindWindowExW(dialog, nullptr, L"#32770", L"マイメニュー");
        ASSERT_NE(nullptr, page);
        const ForeignListView list(::GetDlgItem(page, IDC_LISTVIEW1));
        ASSERT_EQ(rows, list.Rows());
        auto press = [&](int id) { ClickAt(WindowCentre(::GetDlgItem(page, id)), false); };
        auto expectRows = [&](const Rows& expected, const char* step) {
            EXPECT_TRUE(PumpUntil([&] { return list.Rows() == expected; }, 5000)) << step;
            EXPECT_TRUE(launcher.process.IsRunning()) << step;
        };

        const int last = n - 1;
        ClickAt(list.RowCentre(last), false);
        ASSERT_TRUE(PumpUntil([&] { return list.Selected() == std::vector<int>{last}; }, 3000));
        Rows up = rows;
        std::swap(up[last], up[std::max(last - 1, 0)]);
        press(IDC_CMDUP);
        expectRows(up, "up");
        press(IDC_CMDDOWN);
        expectRows(rows, "down again");
        Rows top = rows;
        std::rotate(top.begin(), top.end() - 1, top.end());
        // Aside from the middle, so that with one row it is a drag onto itself, not a click.
        POINT first = list.RowCentre(0);
        first.x += 20;
        DragWithLeftButton(list.RowCentre(last), first);
        expectRows(top, "dragged to the top");
        ASSERT_TRUE(launcher.process.IsRunning());

        ClickAt(WindowCentre(::GetDlgItem(dialog, IDC_CMDCLOSE)), false);
        ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(dialog); }, 5000));
        // The save follows the hide.
        EXPECT_TRUE(PumpUntil(
            [&] { return GetSetting(kMyMenuSection, L"Caption0") == top[0].first; }, 3000));
        EXPECT_EQ(std::to_wstring(n), GetSetting(kSettingSection, L"MenuCount"));
        Rows saved;
        for (int i = 0; i < n; ++i)
            saved.emplace_back(GetSetting(kMyMenuSection, L"Caption" + std::to_wstring(i)),
                               GetSetting(kMyMenuSection, L"Path" + std::to_wstring(i)));
        EXPECT_EQ(top, saved);
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(launcher.ChooseWithKeys(DownsTo(i, {VK_RETURN})));
            ASSERT_TRUE(WaitForMarkerLines(static_cast<size_t>(i) + 1)) << "entry " << i;
            const std::wstring& opened = top[static_cast<size_t>(i)].second;
            const std::wstring name = opened.substr(opened.rfind(L'\\') + 1);
            EXPECT_TRUE(Contains(MarkerLines()[static_cast<size_t>(i)], name))
                << MarkerLines()[static_cast<size_t>(i)];
        }
        EXPECT_EQ(static_cast<size_t>(n), MarkerLines().size());
    }
}

TEST_F(ActivationEndToEnd, HelpSettingsAndExitFromTheSettingsSubmenu) {
    RegisterMarkerForPages();
    const std::wstring page = BuiltProgram(L"TolvernLauncherHelp.html");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(page.c_str()))
        << "the help page is not beside the program";
    RunningLauncher launcher;

    // "ヘルプ(&H)": without a WinHelp file the HTML page opens.
    ASSERT_TRUE(launcher.ChooseWithKeys({'S', 'H'}));
    ASSERT_TRUE(WaitForMarkerLines(1)) << "no help page was opened";
    EXPECT_TRUE(Contains(MarkerLines()[0], L"TolvernLauncherHelp.html"));

    // "設定(&S)..." shows the settings form; closing it only hides it.
    ASSERT_TRUE(launcher.ChooseWithKeys({'S', 'S'}));
    HWND settings = launcher.process.FindWindowOfClass(L"TForm2");
    ASSERT_NE(nullptr, settings);
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(settings) != FALSE; }, 5000));
    ::PostMessageW(settings, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(settings); }, 5000));
    EXPECT_TRUE(launcher.process.IsRunning());

    // "常駐終了(&X)" ends the program and saves the settings.
    ASSERT_TRUE(launcher.ChooseWithKeys({'S', 'X'}));
    EXPECT_EQ(0u, launcher.process.WaitForExit(10000));
    EXPECT_EQ(L"Ctrl+Alt+L", GetSetting(kSettingSection, L"HotKey"));
    EXPECT_EQ(L"0", GetSetting(kSettingSection, L"MenuCount"));
}

// An empty file of that path.
void MakeEmptyFile(const std::wstring& path) {
    ::CloseHandle(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

bool Within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Opens a My Menu entry's submenu from the tray icon and waits until it shows: its window, null
// when none showed.
HWND OpenEntrySubmenu(const RunningLauncher& launcher, int entry) {
    if (!launcher.ChooseWithKeys(DownsTo(entry, {})))
        return nullptr;
    const HWND top = launcher.process.OpenMenuWindow();
    PressChord({VK_RIGHT});
    HWND submenu = nullptr;
    PumpUntil(
        [&] {
            for (HWND window : launcher.process.OpenMenuWindows())
                if (window != top)
                    submenu = window;
            return submenu != nullptr;
        },
        60000);
    PumpUntil([] { return false; }, 500); // painted
    return submenu;
}

// Keys a user types: letters and digits, one after another.
void Type(const std::wstring& text) {
    for (wchar_t ch : text) {
        PressChord({static_cast<WORD>(std::towupper(ch))});
        PumpUntil([] { return false; }, 60);
    }
}

void CloseMenus(const RunningLauncher& launcher) {
    for (int i = 0; i < 5 && launcher.process.OpenMenuWindow(); ++i) {
        PressChord({VK_ESCAPE});
        PumpUntil([] { return false; }, 300);
    }
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

TEST_F(ActivationEndToEnd, BigFoldersScrollInOneColumnAndEndOrTypingReachesEveryItem) {
    RegisterMarkerForPages();
    const std::wstring big = TempDir() + L"tolvern-5000";
    const std::wstring hundred = TempDir() + L"tolvern-100";
    const std::wstring words = TempDir() + L"tolvern-words";
    for (const std::wstring& folder : {big, hundred, words})
        ::CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < 5000; ++i)
        MakeEmptyFile(big + L"\\file" + std::to_wstring(i) + L".html");
    for (int i = 1; i <= 100; ++i)
        ::CreateDirectoryW((hundred + L"\\folder " + std::to_wstring(i)).c_str(), nullptr);
    for (const wchar_t* name : {L"alpha.html", L"beta.html", L"bravo.html"})
        MakeEmptyFile(words + L"\\" + name);
    // An entry that starts with the letter of "設定(&S)".
    StoreEntries({{L"Big", big}, {L"Hundred", hundred}, {L"Words", words}, {L"Search", kMarker}});
    const RECT work = WorkArea();
    const LONG workHeight = work.bottom - work.top;
    LONG threeColumnsWide = 0;
    {
        RunningLauncher launcher;
        // 5,000 files: one column within the work area, as tall as that, which scrolls; End
        // selects the last file (names sort as text, so file999 comes last).
        HWND submenu = OpenEntrySubmenu(launcher, 0);
        ASSERT_NE(nullptr, submenu) << "the folder's submenu did not show";
        const RECT scrolled = WindowRect(submenu);
        EXPECT_TRUE(Within(scrolled, work));
        EXPECT_EQ(workHeight, scrolled.bottom - scrolled.top);
        EXPECT_LT(scrolled.right - scrolled.left, 300) << "one column";
        SaveArtifact(CaptureScreen(), L"e2e-big-folder-one-column");
        PressChord({VK_END});
        PressChord({VK_RETURN});
        ASSERT_TRUE(WaitForMarkerLines(1)) << "End and Enter opened nothing";
        EXPECT_TRUE(Contains(MarkerLines()[0], L"\\file999.html")) << MarkerLines()[0];

        // Typing a name selects it wherever it is; Enter opens it.
        ASSERT_NE(nullptr, OpenEntrySubmenu(launcher, 0));
        Type(L"file4999");
        PressChord({VK_RETURN});
        ASSERT_TRUE(WaitForMarkerLines(2)) << "typing and Enter opened nothing";
        EXPECT_TRUE(Contains(MarkerLines()[1], L"\\file4999.html")) << MarkerLines()[1];

        // 100 sub-folders keep their three columns.
        submenu = OpenEntrySubmenu(launcher, 1);
        ASSERT_NE(nullptr, submenu);
        threeColumnsWide = WindowRect(submenu).right - WindowRect(submenu).left;
        SaveArtifact(CaptureScreen(), L"e2e-hundred-folders-columns");
        CloseMenus(launcher);

        // "br" selects bravo; "b", a pause and "b" again go from beta on to bravo.
        ASSERT_NE(nullptr, OpenEntrySubmenu(launcher, 2));
        Type(L"br");
        PressChord({VK_RETURN});
        ASSERT_TRUE(WaitForMarkerLines(3));
        EXPECT_TRUE(Contains(MarkerLines()[2], L"\\bravo.html")) << MarkerLines()[2];
        ASSERT_NE(nullptr, OpenEntrySubmenu(launcher, 2));
        Type(L"b");
        PumpUntil([] { return false; }, 1500);
        Type(L"b");
        PressChord({VK_RETURN});
        ASSERT_TRUE(WaitForMarkerLines(4));
        EXPECT_TRUE(Contains(MarkerLines()[3], L"\\bravo.html")) << MarkerLines()[3];

        // In the top level "s" is still the Settings submenu's letter, "Search" or not: then
        // "h", its help.
        ASSERT_TRUE(launcher.ChooseWithKeys({'S', 'H'}));
        ASSERT_TRUE(WaitForMarkerLines(5)) << "no help page was opened";
        EXPECT_TRUE(Contains(MarkerLines()[4], L"TolvernLauncherHelp.html")) << MarkerLines()[4];
    }

    // With the option on, the same 100 sub-folders scroll in one column.
    SetSetting(kSettingSection, L"AlwaysScrollMenus", L"1");
    {
        RunningLauncher launcher;
        HWND submenu = OpenEntrySubmenu(launcher, 1);
        ASSERT_NE(nullptr, submenu);
        const RECT scrolled = WindowRect(submenu);
        EXPECT_TRUE(Within(scrolled, work));
        EXPECT_EQ(workHeight, scrolled.bottom - scrolled.top);
        EXPECT_GT(threeColumnsWide, 2 * (scrolled.right - scrolled.left));
        SaveArtifact(CaptureScreen(), L"e2e-hundred-folders-scrolled");
        CloseMenus(launcher);
    }
    EXPECT_EQ(5u, MarkerLines().size());
    for (int i = 0; i < 5000; ++i)
        ::DeleteFileW((big + L"\\file" + std::to_wstring(i) + L".html").c_str());
    for (int i = 1; i <= 100; ++i)
        ::RemoveDirectoryW((hundred + L"\\folder " + std::to_wstring(i)).c_str());
    for (const wchar_t* name : {L"alpha.html", L"beta.html", L"bravo.html"})
        ::DeleteFileW((words + L"\\" + name).c_str());
    for (const std::wstring& folder : {big, hundred, words})
        ::RemoveDirectoryW(folder.c_str());
}

} // namespace
} // namespace tolvern
