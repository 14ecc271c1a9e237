// The downloads as a Windows user gets them, in a fresh prefix: each zip unpacked into a folder of
// its own runs from there; the installers install for the user alone, upgrade and remove
// everything they put down. tests/dist/dist_test.sh unpacks the zips, makes an installer of the
// next version and passes the paths in the environment.
#include "base/registry_ini.h"
#include "base/text.h"
#include "framework/window.h"
#include "settings/about_box.h"
#include "settings/dialog_ids.h"
#include "settings/launcher_settings.h"
#include "settings/startup_shortcut.h"
#include "support/launcher_process.h"
#include "support/marker_program.h"
#include "support/running_launcher.h"
#include "support/screen_capture.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace tolvern {
namespace {

using namespace test;

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    EXPECT_GT(length, 0u) << "dist_test.sh sets " << testing::PrintToString(std::wstring(name));
    return value;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ContainsIgnoreCase(const std::wstring& text, const std::wstring& part) {
    return ToUpperInvariant(text).find(ToUpperInvariant(part)) != std::wstring::npos;
}

// The names in a folder, sorted; empty when there is no such folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..")
            names.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// The version resource of a program as "fixed version | FileVersion | ProductVersion".
std::wstring VersionResource(const std::wstring& program) {
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(program.c_str(), nullptr));
    if (block.empty() ||
        !::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
        return L"<no version resource>";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size);
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        return ::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value),
                                &length) &&
                       value
                   ? std::wstring(value)
                   : L"<none>";
    };
    wchar_t fixedText[64] = {};
    std::swprintf(fixedText, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
    return std::wstring(fixedText) + L" | " + text(L"FileVersion") + L" | " +
           text(L"ProductVersion");
}

// The About box's version line for "major.minor.patch".
std::wstring AboutVersionLine(const std::wstring& version) {
    int major = 0, minor = 0, patch = 0;
    EXPECT_EQ(3, std::swscanf(version.c_str(), L"%d.%d.%d", &major, &minor, &patch));
    return VersionCaption(major, minor, patch);
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    ::CoTaskMemFree(path);
    return result;
}

// Runs msiexec with the arguments and returns its exit code.
DWORD Msiexec(const std::wstring& arguments) {
    std::wstring commandLine = L"msiexec.exe " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return ::GetLastError();
    ::CloseHandle(pi.hThread);
    DWORD code = STILL_ACTIVE;
    if (PumpUntil([&] { return ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 120000))
        ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hProcess);
    return code;
}

// The DisplayVersion of every uninstall entry named "Tolvern Launcher": the user's, and the
// machine's in both views (a 32-bit package registers in the 32-bit one).
std::vector<std::wstring> UninstallEntries() {
    std::vector<std::wstring> versions;
    const wchar_t* kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const std::pair<HKEY, REGSAM> places[] = {{HKEY_CURRENT_USER, 0},
                                              {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                                              {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
    for (const auto& [root, view] : places) {
        UniqueKey key;
        if (::RegOpenKeyExW(root, kUninstall, 0, KEY_READ | view, key.put()) != ERROR_SUCCESS)
            continue;
        wchar_t name[256];
        for (DWORD i = 0, length = 256; ::RegEnumKeyExW(key.get(), i, name, &length, nullptr,
                                                        nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, length = 256) {
            UniqueKey sub;
            if (::RegOpenKeyExW(key.get(), name, 0, KEY_READ | view, sub.put()) != ERROR_SUCCESS)
                continue;
            std::wstring displayName, displayVersion;
            if (ReadRegistryText(sub.get(), L"", L"DisplayName", displayName) &&
                displayName == kApplicationTitle) {
                ReadRegistryText(sub.get(), L"", L"DisplayVersion", displayVersion);
                versions.push_back(displayVersion);
            }
        }
    }
    return versions;
}

// Every value of the settings key: "section\name" to text.
std::map<std::wstring, std::wstring> StoredSettings() {
    std::map<std::wstring, std::wstring> values;
    if (!RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKeyPath))
        return values;
    const RegistryIni ini(HKEY_CURRENT_USER, kSettingsKeyPath);
    for (const wchar_t* section : {kSettingSection, kMyMenuSection})
        for (const std::wstring& name : ini.ValueNames(section))
            values[std::wstring(section) + L"\\" + name] = ini.ReadString(section, name, L"");
    return values;
}

// What the per-user installer puts down.
struct Installed {
    std::wstring folder = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Tolvern Launcher";
    std::wstring program = folder + L"\\TolvernLauncher.exe";
    std::wstring menuLink = KnownFolder(FOLDERID_Programs) + L"\\Tolvern Launcher.lnk";
    // Where the program's start-up option keeps its shortcut.
    std::wstring startupLink = StartupShortcutPath(StartupFolderPath());
};

const std::vector<std::wstring> kInstalledFiles = {L"TolvernLauncher.exe",
                                                   L"TolvernLauncherHelp.html"};

TEST(Downloads, EachZipHoldsTheProgramOfThisVersionAndRunsFromItsOwnFolder) {
    const std::wstring version = Env(L"TOLVERN_DIST_VERSION");
    const std::wstring expectedVersion = version + L".0 | " + version + L" | " + version;
    for (const wchar_t* variable : {L"TOLVERN_DIST_ZIP64_DIR", L"TOLVERN_DIST_ZIP32_DIR"}) {
        const std::wstring folder = Env(variable);
        const std::vector<std::wstring> files = {
            L"TolvernLauncher.exe", L"TolvernLauncherHelp.html", L"はじめにお読みください.txt"};
        EXPECT_EQ(files, FilesIn(folder)) << testing::PrintToString(folder);
        EXPECT_EQ(expectedVersion, VersionResource(folder + L"\\TolvernLauncher.exe"));
    }

    // The 64-bit program from its folder: the menu opens from the tray icon, help opens, the
    // About box shows the version.
    const std::wstring folder = Env(L"TOLVERN_DIST_ZIP64_DIR");
    ResetSettings();
    RegisterMarkerForPages();
    RunningLauncher launcher(RunningLauncher::ProgramPath{folder + L"\\TolvernLauncher.exe"});
    ASSERT_TRUE(launcher.ChooseWithKeys({'S', 'H'})) << "no menu from the tray icon";
    ASSERT_TRUE(WaitForMarkerLines(1)) << "no help page was opened";
    EXPECT_TRUE(ContainsIgnoreCase(MarkerLines()[0], folder + L"\\TolvernLauncherHelp.html"))
        << testing::PrintToString(MarkerLines()[0]);

    ASSERT_TRUE(launcher.ChooseWithKeys({'S', 'A'}));
    HWND about = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            about = launcher.process.FindWindowOfClass(L"#32770");
            return about && ::IsWindowVisible(about);
        },
        5000))
        << "no About box";
    EXPECT_EQ(AboutVersionLine(version), WindowText(::GetDlgItem(about, IDC_ABOUT_VERSION)));
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(about); }, 5000));

    ASSERT_TRUE(launcher.ChooseWithKeys({'S', 'X'}));
    EXPECT_EQ(0u, launcher.process.WaitForExit(10000));
    ResetSettings();
}

TEST(Downloads, TheInstallerInstallsForTheUserUpgradesKeepingTheSettingsAndRemovesEverything) {
    const std::wstring version = Env(L"TOLVERN_DIST_VERSION");
    const std::wstring nextVersion = Env(L"TOLVERN_DIST_NEXT_VERSION");
    const std::wstring msi = Env(L"TOLVERN_DIST_MSI64");
    const std::wstring nextMsi = Env(L"TOLVERN_DIST_NEXT_MSI64");
    const Installed installed;
    ResetSettings();

    ASSERT_EQ(0u, Msiexec(L"/i \"" + msi + L"\" /qn"));
    EXPECT_EQ(kInstalledFiles, FilesIn(installed.folder));
    const LinkInfo menu = ReadLink(installed.menuLink);
    EXPECT_TRUE(EqualsIgnoreCase(installed.program, menu.target))
        << testing::PrintToString(menu.target);
    EXPECT_EQ(L"", menu.arguments);
    const LinkInfo startup = ReadLink(installed.startupLink);
    EXPECT_TRUE(EqualsIgnoreCase(installed.program, startup.target));
    EXPECT_EQ(L"/wait:10", startup.arguments);
    EXPECT_EQ(std::vector<std::wstring>{version}, UninstallEntries());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKeyPath))
        << "the installer keeps out of the settings";

    // The Start-menu shortcut starts the installed program; its first run keeps the installer's
    // Startup shortcut as its start-up choice.
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.lpFile = installed.menuLink.c_str();
    run.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(::ShellExecuteExW(&run));
    ASSERT_TRUE(WaitForTrayTip(kApplicationTitle, kLauncherStartTimeout));
    HWND trayForm = ::FindWindowW(L"TForm1", nullptr);
    ASSERT_NE(nullptr, trayForm);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(trayForm, &pid);
    UniqueHandleObject process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    ::QueryFullProcessImageNameW(process.get(), 0, image, &length);
    EXPECT_TRUE(EqualsIgnoreCase(installed.program, image)) << testing::PrintToString(image);
    ::PostMessageW(trayForm, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return ::WaitForSingleObject(process.get(), 0) == 0; }, 10000));
    EXPECT_TRUE(Exists(installed.startupLink));
    EXPECT_EQ(L"1", GetSetting(kSettingSection, L"Startup"));

    // The user changes settings, among them the start-up box, which takes the shortcut away.
    SetSetting(kSettingSection, L"BannerText", L"アップグレード前");
    SetSetting(kSettingSection, L"Startup", L"0");
    ASSERT_TRUE(::DeleteFileW(installed.startupLink.c_str()));
    const std::map<std::wstring, std::wstring> settings = StoredSettings();
    EXPECT_EQ(L"アップグレード前", settings.at(L"Setting\\BannerText"));

    // The next version over this one: one product, the settings as they were, and no Startup
    // shortcut against the stored choice.
    ASSERT_EQ(0u, Msiexec(L"/i \"" + nextMsi + L"\" /qn"));
    EXPECT_EQ(std::vector<std::wstring>{nextVersion}, UninstallEntries());
    EXPECT_EQ(kInstalledFiles, FilesIn(installed.folder));
    EXPECT_TRUE(Exists(installed.menuLink));
    EXPECT_FALSE(Exists(installed.startupLink));
    EXPECT_EQ(settings, StoredSettings());

    // Removing it takes every file and shortcut and asks nothing about the settings.
    ASSERT_EQ(0u, Msiexec(L"/x \"" + nextMsi + L"\" /qn"));
    EXPECT_FALSE(Exists(installed.folder));
    EXPECT_FALSE(Exists(installed.menuLink));
    EXPECT_FALSE(Exists(installed.startupLink));
    EXPECT_EQ(std::vector<std::wstring>{}, UninstallEntries());
    EXPECT_FALSE(
        RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Marrowick\\Tolvern Launcher Installer"));
    EXPECT_EQ(settings, StoredSettings());
    ResetSettings();
}

// A visible top-level window whose title is the text, and the texts of its children.
struct FoundDialog {
    HWND window = nullptr;
    std::set<std::wstring> texts;
};
FoundDialog FindDialogTitled(const std::wstring& title) {
    FoundDialog found;
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (::IsWindowVisible(w) && WindowText(w) == title)
            found.window = w;
    if (found.window)
        for (HWND child = ::GetWindow(found.window, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT))
            found.texts.insert(WindowText(child));
    return found;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (WindowText(child) == text)
            return child;
    return nullptr;
}

TEST(Downloads, TheInstallersDialogOffersTheStartupShortcutCheckedAndAClearedBoxLeavesItOut) {
    const std::wstring version = Env(L"TOLVERN_DIST_VERSION");
    const std::wstring msi = Env(L"TOLVERN_DIST_MSI32");
    const Installed installed;
    ResetSettings();

    std::wstring commandLine = L"msiexec.exe /i \"" + msi + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &pi));
    UniqueHandleObject msiexec(pi.hProcess);
    ::CloseHandle(pi.hThread);
    FoundDialog dialog;
    const std::wstring title = L"Tolvern Launcher " + version + L" のセットアップ";
    ASSERT_TRUE(PumpUntil([&] { return (dialog = FindDialogTitled(title)).window; }, 20000))
        << "no setup dialog";
    const std::set<std::wstring> texts = {
        L"Tolvern Launcher を次のフォルダにインストールし、スタート "
        L"メニューに登録します。管理者の権限は要りません。",
        installed.folder + L"\\",
        L"ログオン時に Tolvern Launcher を起動する(&S)",
        L"あとから設定ダイアログの「起動」ページでも変えられます。",
        L"インストール(&I)",
        L"キャンセル"};
    EXPECT_EQ(texts, dialog.texts);
    PumpUntil([] { return false; }, 500); // let it paint
    SaveArtifact(CaptureScreen(), L"dist-setup-dialog");
    HWND box = ChildWithText(dialog.window, L"ログオン時に Tolvern Launcher を起動する(&S)");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(box, BM_GETCHECK, 0, 0));
    EXPECT_TRUE(::IsWindowEnabled(box));
    ::SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(box, BM_GETCHECK, 0, 0));
    ::SendMessageW(ChildWithText(dialog.window, L"インストール(&I)"), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return ::WaitForSingleObject(msiexec.get(), 0) == 0; }, 60000));
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(msiexec.get(), &code);
    EXPECT_EQ(0u, code);

    EXPECT_EQ(kInstalledFiles, FilesIn(installed.folder));
    EXPECT_TRUE(Exists(installed.menuLink));
    EXPECT_FALSE(Exists(installed.startupLink)) << "the box was cleared";
    EXPECT_EQ(std::vector<std::wstring>{version}, UninstallEntries());

    // A Startup shortcut that the program's start-up box made later goes with the program too.
    MakeShortcut(installed.startupLink, installed.program);
    ASSERT_TRUE(Exists(installed.startupLink));
    ASSERT_EQ(0u, Msiexec(L"/x \"" + msi + L"\" /qn"));
    EXPECT_FALSE(Exists(installed.folder));
    EXPECT_FALSE(Exists(installed.menuLink));
    EXPECT_FALSE(Exists(installed.startupLink));
    EXPECT_EQ(std::vector<std::wstring>{}, UninstallEntries());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKeyPath));
}

} // namespace
} // namespace tolvern
