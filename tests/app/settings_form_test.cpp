// The settings form's start and end: loading, the start-up shortcut, the hot key, saving at exit,
// at the end of a session, and not after an unhandled exception.
#include "app/settings_form.h"
#include "app/tray_form.h"
#include "base/com.h"
#include "base/text.h"
#include "settings/startup_shortcut.h"
#include "support/scratch_key.h"
#include "support/started_launcher.h"
#include "support/message_box_answer.h"
#include "support/test_files.h"
#include "support/while_modal.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>

namespace tolvern {
namespace {

using test::LinkInfo;
using test::ReadLink;
using test::ScratchKey;
using Launcher = test::StartedLauncher;
const std::wstring S = kSettingSection;
const std::wstring M = kMyMenuSection;

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class StartupShortcutTest : public testing::Test {
protected:
    void SetUp() override { ::DeleteFileW(link.c_str()); }
    void TearDown() override { ::DeleteFileW(link.c_str()); }
    ScratchKey key;
    const std::wstring link = StartupShortcutPath(key.StartupFolder());
};

TEST(SettingsForm, FirstStartWritesEveryDefaultAtExit) {
    ScratchKey key;
    {
        Launcher launcher(key);
        EXPECT_TRUE(launcher.form2.LauncherReady);
        EXPECT_FALSE(launcher.form2.TerminatedByException);
        EXPECT_TRUE(key.Exists());
        EXPECT_EQ(kApplicationTitle, launcher.form2.Settings().BannerText);
        EXPECT_EQ(ProgramDirectory(), launcher.form2.Settings().LastOpenedDir);
        EXPECT_EQ(static_cast<SHCONTF>(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
                  launcher.form2.FolderEnumFlags);
    }
    EXPECT_EQ(29u, key.ValueNames(S).size());
    EXPECT_EQ(L"Ctrl+Alt+L", key.GetString(S, L"HotKey"));
    EXPECT_EQ(L"RightBottom", key.GetString(S, L"PopupPos"));
    EXPECT_EQ(ProgramDirectory(), key.GetString(S, L"LastOpenedDir"));
    EXPECT_FALSE(key.SectionExists(M));
}

TEST(SettingsForm, StoredEntriesComeBackExactlyAsTheyWere) {
    ScratchKey key;
    key.SetString(S, L"MenuCount", L"3");
    const std::vector<MyMenuEntry> entries = {
        {L"メモ帳(&N)", L"C:\\windows\\notepad.exe"}, {L"A & B", L"C:\\"}, {L"", L""}};
    for (size_t i = 0; i < entries.size(); ++i) {
        key.SetString(M, L"Caption" + std::to_wstring(i), entries[i].Caption);
        key.SetString(M, L"Path" + std::to_wstring(i), entries[i].Path);
    }
    {
        Launcher launcher(key);
        EXPECT_EQ(entries, launcher.form2.Settings().MyMenu);
    }
    EXPECT_EQ(L"3", key.GetString(S, L"MenuCount"));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].Caption, key.GetString(M, L"Caption" + std::to_wstring(i)));
        EXPECT_EQ(entries[i].Path, key.GetString(M, L"Path" + std::to_wstring(i)));
    }
}

TEST(SettingsForm, ShowingHiddenItemsAddsThemToTheEnumerationFlags) {
    ScratchKey key;
    key.SetString(S, L"DoNotViewHiddenItems", L"0");
    Launcher launcher(key);
    EXPECT_EQ(static_cast<SHCONTF>(0xE0), launcher.form2.FolderEnumFlags);
}

TEST(SettingsForm, RegistersTheStoredHotKeyUntilItEnds) {
    ScratchKey key;
    key.SetString(S, L"HotKey", L"Ctrl+Alt+F11");
    {
        Launcher launcher(key);
        EXPECT_FALSE(::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F11))
            << "the launcher should hold Ctrl+Alt+F11";
    }
    EXPECT_TRUE(::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F11));
    ::UnregisterHotKey(nullptr, 7);
}

// A hot key that another program holds cannot be registered: closing the dialog says so once,
// naming the key as the dialog's field shows it, and keeps and saves the key all the same.
TEST(SettingsForm, ClosingTheDialogWithAHotKeyHeldElsewhereSaysSoOnceAndKeepsTheKey) {
    ScratchKey key;
    key.SetString(S, L"HotKey", L"Ctrl+Alt+F11");
    Launcher launcher(key);
    TForm2& form2 = launcher.form2;
    auto openAndClose = [&](const std::function<void()>& whileOpen) {
        test::WhileModal steps(
            {whileOpen, [&] { ::PostMessageW(form2.cmdClose(), BM_CLICK, 0, 0); }});
        form2.ShowModal();
    };
    test::BoxSeen seen;
    std::thread answer = test::AnswerMessageBox(IDOK, seen);
    openAndClose([] {
        // Another program takes the key while the dialog, which gives it up, is open.
        ASSERT_TRUE(::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F11));
    });
    answer.join();
    // Named as the field shows it, with the system's key names (Wine's say "Control").
    EXPECT_EQ(L"ホットキー Control + Alt + F11 を登録できませんでした。"
              L"ほかのプログラムが使用していないか確認してください。",
              seen.text);
    EXPECT_EQ(L"Ctrl+Alt+F11", key.GetString(S, L"HotKey"));
    EXPECT_EQ(ShortCut(kShortCutCtrl | kShortCutAlt | VK_F11), form2.Options().HotKey);

    // Given up by the other program: the next close registers it and says nothing.
    ::UnregisterHotKey(nullptr, 7);
    test::BoxSeen none;
    answer = test::AnswerMessageBox(IDOK, none);
    openAndClose([] {});
    answer.join();
    EXPECT_EQ(L"", none.text);
    EXPECT_FALSE(::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F11))
        << "the launcher should hold Ctrl+Alt+F11";
}

TEST(SettingsForm, AnUnhandledExceptionEndsTheProgramWithoutSaving) {
    ScratchKey key;
    key.SetString(S, L"ShowHintFrom", L"abc");
    {
        Launcher launcher(key);
        launcher.form2.AddIconToList(L"added", L"C:\\added");
        // What a window procedure does with an exception that escapes a handler.
        ReportException(std::make_exception_ptr(std::runtime_error("handler failed")));
        EXPECT_TRUE(launcher.form2.TerminatedByException);
        EXPECT_TRUE(launcher.app.Terminated());
    }
    EXPECT_EQ(L"abc", key.GetString(S, L"ShowHintFrom")); // the faulty value stays as it was
    EXPECT_EQ(DWORD{REG_NONE}, key.ValueType(S, L"MenuCount"));
    EXPECT_FALSE(key.SectionExists(M));
}

TEST(SettingsForm, ASaveThatFailsAtExitEndsQuietlyAndFreesEverything) {
    ScratchKey key;
    key.SetString(S, L"ShowHintFrom", L"300");
    bool terminated = false;
    {
        Launcher launcher(key);
        ASSERT_FALSE(launcher.form2.TerminatedByException);
        key.DenyWrites(S);
        launcher.form2.AddIconToList(L"added", L"C:\\added");
        launcher.app.OnException = [&](std::exception_ptr) { terminated = true; };
    } // the save fails here: reported, not thrown out of the destructor
    EXPECT_TRUE(terminated);
    EXPECT_EQ(L"300", key.GetString(S, L"ShowHintFrom"));
}

TEST(SettingsForm, TheEndOfTheSessionSavesAsAnExitWould) {
    ScratchKey key;
    Launcher launcher(key);
    launcher.form2.AddIconToList(L"added", L"C:\\added");
    ::SendMessageW(launcher.form2.Handle(), WM_ENDSESSION, FALSE, 0); // cancelled: nothing
    EXPECT_FALSE(key.SectionExists(M));
    EXPECT_TRUE(::SendMessageW(launcher.form2.Handle(), WM_QUERYENDSESSION, 0, 0));
    ::SendMessageW(launcher.form2.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(L"added", key.GetString(M, L"Caption0"));
    EXPECT_EQ(L"1", key.GetString(S, L"MenuCount"));
}

TEST_F(StartupShortcutTest, StartupOnCreatesTheShortcutAtEveryStart) {
    ASSERT_FALSE(link.empty());
    key.SetString(S, L"Startup", L"1");
    {
        Launcher launcher(key);
        ASSERT_TRUE(FileExists(link));
        LinkInfo info = ReadLink(link);
        EXPECT_TRUE(EqualsIgnoreCase(ProgramFilePath(), info.target)) << info.target.size();
        EXPECT_EQ(L"/wait:10", info.arguments);
        EXPECT_TRUE(EqualsIgnoreCase(ProgramDirectory(), info.workingDir));
    }
    ::DeleteFileW(link.c_str());
    { Launcher again(key); }
    EXPECT_TRUE(FileExists(link)) << "a missing shortcut is made again";
}

// An installer may have made the shortcut before the program ever ran: with no choice stored,
// the shortcut there is the choice; without one the default (off) stands.
TEST_F(StartupShortcutTest, WithNoStoredChoiceTheShortcutThereDecides) {
    ASSERT_FALSE(link.empty());
    { std::ofstream(link.c_str(), std::ios::binary) << "the installer's"; }
    {
        Launcher launcher(key);
        EXPECT_TRUE(launcher.form2.Options().Startup);
    }
    EXPECT_TRUE(FileExists(link));
    EXPECT_EQ(L"1", key.GetString(S, L"Startup"));

    ::DeleteFileW(link.c_str());
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (key.Path().substr(1) + L"\\" + S).c_str(), L"Startup");
    {
        Launcher launcher(key);
        EXPECT_FALSE(launcher.form2.Options().Startup);
    }
    EXPECT_FALSE(FileExists(link));
    EXPECT_EQ(L"0", key.GetString(S, L"Startup"));
}

// A shortcut there that starts this program is the user's or the installer's: left as it is.
// One to another copy of the program (moved, reinstalled) or a file that is no shortcut would
// start nothing at logon: written again.
TEST_F(StartupShortcutTest, OnlyAShortcutToThisProgramIsLeftAloneAndStartupOffDeletesIt) {
    RegistryIni ini(HKEY_CURRENT_USER, key.Path());
    test::MakeShortcut(link, ProgramFilePath());
    EXPECT_HRESULT_SUCCEEDED(
        MakeStartUpShortcut(ProgramFilePath(), true, ini, key.StartupFolder()));
    EXPECT_EQ(L"", ReadLink(link).arguments) << "left as it was";
    EXPECT_EQ(DWORD{REG_NONE}, key.ValueType(S, L"Startup")) << "nothing is stored then";

    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring otherProgram = std::wstring(windows) + L"\\notepad.exe";
    const std::vector<std::function<void()>> foreign = {
        [&] { test::MakeShortcut(link, otherProgram); },
        [&] { std::ofstream(link.c_str(), std::ios::binary) << "not a shortcut"; }};
    for (const auto& plant : foreign) {
        ::DeleteFileW(link.c_str());
        plant();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (key.Path().substr(1) + L"\\" + S).c_str(),
                             L"Startup");
        EXPECT_HRESULT_SUCCEEDED(
            MakeStartUpShortcut(ProgramFilePath(), true, ini, key.StartupFolder()));
        const LinkInfo info = ReadLink(link);
        EXPECT_TRUE(EqualsIgnoreCase(ProgramFilePath(), info.target)) << info.target;
        EXPECT_EQ(L"/wait:10", info.arguments);
        EXPECT_EQ(L"1", key.GetString(S, L"Startup"));
    }

    // The user's own shortcut is not the test's: it stays.
    const std::wstring users = StartupShortcutPath(StartupFolderPath());
    ASSERT_FALSE(users.empty());
    const bool planted = !FileExists(users);
    if (planted)
        std::ofstream(users.c_str(), std::ios::binary) << "the user's";
    key.SetString(S, L"Startup", L"0");
    { Launcher launcher(key); }
    EXPECT_FALSE(FileExists(link));
    EXPECT_EQ(L"0", key.GetString(S, L"Startup"));
    EXPECT_TRUE(FileExists(users));
    if (planted)
        ::DeleteFileW(users.c_str());
}

} // namespace
} // namespace tolvern
