// The real launcher fed what a user's machine can hold: broken settings values, odd My Menu
// entries and awkward folders. Each case starts the program, opens its menu from the tray icon
// (and the submenu of an entry where there is one), closes it, ends the program and checks that
// every stored entry is still there and the settings key is sound. A table of the cases and
// their results is printed at the end.
#include "app/launcher_entry.h"
#include "framework/window.h"
#include "settings/launcher_settings.h"
#include "support/default_settings.h"
#include "support/launcher_process.h"
#include "support/scratch_key.h"
#include "support/screen_capture.h"
#include "support/tray_probe.h"
#include "support/user_input.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace tolvern {
namespace {

using namespace test;

const std::wstring kKey = std::wstring(kSettingsKeyPath).substr(1);
const std::wstring S = kSettingSection;
const std::wstring M = kMyMenuSection;
constexpr DWORD kStartTimeout = 20000;
// A submenu that takes longer than this to open counts as a frozen menu.
constexpr DWORD kSubmenuTimeout = 30000;
// How long the menus may take to close on Esc before the program counts as hung.
constexpr DWORD kCloseTimeout = 60000;

const auto kDefaults = DefaultSettingTexts(L"C:\\");

const std::vector<std::wstring> kBooleans = {L"Startup",
                                             L"PopupOnSelPos",
                                             L"ViewDesktopMenu",
                                             L"ViewProgramMenu",
                                             L"ViewMyDocumentsMenu",
                                             L"ViewRecentMenu",
                                             L"ViewFavoritesMenu",
                                             L"ViewHistoryMenu",
                                             L"DoNotViewHiddenItems",
                                             L"DoNotViewUnassociatedItems",
                                             L"DoNotCheckItemsEveryTime",
                                             L"MoveCursor",
                                             L"AlwaysScrollMenus",
                                             L"HideArrow",
                                             L"LargeIcon"};
const std::vector<std::wstring> kNumbers = {
    L"ShowHintFrom",     L"MenuBannerWidth", L"MenuDrawStyle",   L"UpperColor", L"BottomColor",
    L"BannerFontHeight", L"BannerFontColor", L"BannerFontStyle", L"MenuCount"};

void SetText(const std::wstring& section, const std::wstring& name, const std::wstring& text,
             DWORD type = REG_SZ) {
    SetRegistryValue(kKey, section, name, type, text.c_str(),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void StoreEntries(const std::vector<MyMenuEntry>& entries) {
    SetText(S, L"MenuCount", std::to_wstring(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        SetText(M, L"Caption" + std::to_wstring(i), entries[i].Caption);
        SetText(M, L"Path" + std::to_wstring(i), entries[i].Path);
    }
}

struct RawValue {
    DWORD type = REG_NONE;
    std::wstring text;
};

std::vector<std::pair<std::wstring, RawValue>> ReadSection(const std::wstring& section) {
    std::vector<std::pair<std::wstring, RawValue>> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, (kKey + L"\\" + section).c_str(), 0, KEY_READ, &key))
        return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0;
        std::vector<BYTE> data(65536);
        DWORD size = static_cast<DWORD>(data.size());
        if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size))
            break;
        RawValue value{type, {}};
        if (type == REG_SZ)
            value.text.assign(reinterpret_cast<const wchar_t*>(data.data()),
                              size / sizeof(wchar_t));
        while (!value.text.empty() && value.text.back() == L'\0')
            value.text.pop_back();
        values.emplace_back(name, value);
    }
    ::RegCloseKey(key);
    return values;
}

bool IsInteger(const std::wstring& text) {
    size_t i = text.size() > 1 && text[0] == L'-' ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    return true;
}

// What is wrong with the key after the program's exit, empty when nothing: every value of
// "Setting" a text of its kind, the banner width in the dialog's range, and exactly the
// expected entries in "MyMenu" with their count.
std::wstring RegistryFault(const std::vector<MyMenuEntry>& entries) {
    std::wstring fault;
    const auto setting = ReadSection(S);
    for (const auto& [name, unused] : kDefaults) {
        (void)unused;
        const auto it = std::find_if(setting.begin(), setting.end(),
                                     [&](const auto& v) { return v.first == name; });
        if (it == setting.end() || it->second.type != REG_SZ) {
            fault += name + L" not text; ";
            continue;
        }
        const std::wstring& text = it->second.text;
        if (std::find(kBooleans.begin(), kBooleans.end(), name) != kBooleans.end() &&
            text != L"0" && text != L"1")
            fault += name + L"=" + text + L"; ";
        if (std::find(kNumbers.begin(), kNumbers.end(), name) != kNumbers.end() && !IsInteger(text))
            fault += name + L"=" + text + L"; ";
        if (name == L"MenuBannerWidth" && IsInteger(text) &&
            (std::stoi(text) < 2 || std::stoi(text) > 100))
            fault += L"banner width " + text + L"; ";
        if (name == L"MenuCount" && text != std::to_wstring(entries.size()))
            fault += L"MenuCount=" + text + L"; ";
    }
    if (setting.size() != kDefaults.size())
        fault += std::to_wstring(setting.size()) + L" setting values; ";
    const auto menu = ReadSection(M);
    if (menu.size() != 2 * entries.size())
        fault += std::to_wstring(menu.size()) + L" MyMenu values; ";
    for (size_t i = 0; i < entries.size(); ++i) {
        for (const auto& [name, text] :
             {std::pair{L"Caption" + std::to_wstring(i), entries[i].Caption},
              std::pair{L"Path" + std::to_wstring(i), entries[i].Path}}) {
            const auto it = std::find_if(menu.begin(), menu.end(),
                                         [&](const auto& v) { return v.first == name; });
            if (it == menu.end() || it->second.type != REG_SZ || it->second.text != text)
                fault += name + L" lost; ";
        }
    }
    return fault;
}

// A folder of the suite's own below the temporary folder.
std::wstring MakeFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"TolvernBadInput\\" + name;
    ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    return path;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << testing::PrintToString(path);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

void MakeShortcut(const std::wstring& link, const std::wstring& target) {
    IShellLinkW* shellLink = nullptr;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&shellLink)));
    shellLink->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    shellLink->QueryInterface(IID_PPV_ARGS(&file));
    EXPECT_HRESULT_SUCCEEDED(file->Save(link.c_str(), TRUE));
    file->Release();
    shellLink->Release();
}

std::string RandomBytes(size_t count) {
    std::mt19937 random(12);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

int OpenMenus(const LauncherProcess& launcher) {
    return static_cast<int>(launcher.OpenMenuWindows().size());
}

// What is wrong with a submenu that must show as one column within the work area, as tall as
// that: empty when nothing. One column of the suite's names is far narrower than 300 pixels.
std::wstring OneScrollingColumnFault(const RECT& submenu) {
    const RECT work = WorkArea();
    std::wstring fault;
    if (submenu.left < work.left || submenu.top < work.top || submenu.right > work.right ||
        submenu.bottom > work.bottom)
        fault += L"submenu beyond the work area; ";
    if (submenu.bottom - submenu.top != work.bottom - work.top)
        fault += L"submenu " + std::to_wstring(submenu.bottom - submenu.top) + L" pixels high; ";
    if (submenu.right - submenu.left > 300)
        fault += L"submenu " + std::to_wstring(submenu.right - submenu.left) + L" pixels wide; ";
    return fault;
}

struct Case {
    Case(std::wstring name, std::function<void()> setUp, std::vector<MyMenuEntry> expected,
         int openEntry = -1, std::function<void()> beforeSubmenu = {})
        : name(std::move(name)), setUp(std::move(setUp)), expected(std::move(expected)),
          openEntry(openEntry), beforeSubmenu(std::move(beforeSubmenu)) {}
    std::wstring name;
    std::function<void()> setUp;
    // The entries the program reads from the key the case leaves; they must be there after exit.
    std::vector<MyMenuEntry> expected;
    // The entry whose submenu opens while the menu shows (-1: none).
    int openEntry = -1;
    // Runs between the menu showing and the submenu opening.
    std::function<void()> beforeSubmenu;
    // A screenshot of the open menu is kept under this name, when given.
    std::wstring artifact;
    // What is wrong with the open submenu's window (screen rectangle), empty when nothing.
    std::function<std::wstring(const RECT& submenu)> submenuFault;
};

struct Result {
    std::wstring name;
    std::wstring outcome; // "ok" or what went wrong
    std::wstring note;
};

Result RunCase(const Case& c) {
    Result result{c.name, L"", L""};
    auto fail = [&](const std::wstring& what) {
        if (!result.outcome.empty())
            result.outcome += L"; ";
        result.outcome += what;
    };
    ResetSettings();
    if (!WaitForTrayTipGone(kApplicationTitle, 10000)) {
        fail(L"an earlier launcher still runs");
        return result;
    }
    // The earlier copy may still hold the single-instance mutex a moment after its icon left;
    // a copy started then would end at once.
    PumpUntil(
        [] {
            HANDLE running = ::OpenMutexW(SYNCHRONIZE, FALSE, kMutexName);
            if (running)
                ::CloseHandle(running);
            return running == nullptr;
        },
        10000);
    c.setUp();
    LauncherProcess launcher(BuiltProgram(L"TolvernLauncher.exe"));
    TrayIconInfo icon;
    if (!launcher.Started() || !WaitForTrayTip(kApplicationTitle, kStartTimeout, &icon)) {
        fail(launcher.IsRunning()
                 ? L"no tray icon (hang?)"
                 : L"did not start (exit code " + std::to_wstring(launcher.WaitForExit(0)) + L")");
        return result;
    }
    ::WaitForInputIdle(launcher.Handle(), 10000);
    result.note = L"start " + std::to_wstring(::GetTickCount() - launcher.StartTick()) + L" ms";
    const DWORD clicked = ::GetTickCount();
    ClickAt({(icon.rect.left + icon.rect.right) / 2, (icon.rect.top + icon.rect.bottom) / 2}, true);
    if (!PumpUntil([&] { return launcher.OpenMenuWindow() != nullptr; }, 10000)) {
        fail(launcher.IsRunning() ? L"no menu" : L"ended at the popup");
    } else {
        result.note += L", menu " + std::to_wstring(::GetTickCount() - clicked) + L" ms";
        if (c.beforeSubmenu)
            c.beforeSubmenu();
        if (c.openEntry >= 0) {
            // From the last item (Exit Windows): Settings, then the entries from the last.
            PressChord({VK_END});
            const int ups = 2 + static_cast<int>(c.expected.size()) - 1 - c.openEntry;
            for (int i = 0; i < ups; ++i)
                PressChord({VK_UP});
            const HWND top = launcher.OpenMenuWindow();
            const DWORD start = ::GetTickCount();
            PressChord({VK_RIGHT});
            if (PumpUntil([&] { return OpenMenus(launcher) >= 2; }, kSubmenuTimeout))
                result.note += L", submenu " + std::to_wstring(::GetTickCount() - start) + L" ms";
            else
                fail(launcher.IsRunning() ? L"no submenu" : L"ended at the submenu");
            for (HWND submenu : launcher.OpenMenuWindows()) {
                RECT rect{};
                if (submenu != top && c.submenuFault && ::GetWindowRect(submenu, &rect))
                    if (const std::wstring fault = c.submenuFault(rect); !fault.empty())
                        fail(fault);
            }
        }
        if (!c.artifact.empty()) {
            PumpUntil([] { return false; }, 300);
            SaveArtifact(CaptureScreen(), c.artifact);
        }
        // Each Esc closes one level; one that is lost is pressed again, and a busy program
        // gets time to answer before it counts as hung.
        const DWORD closing = ::GetTickCount();
        while (OpenMenus(launcher) > 0 && ::GetTickCount() - closing < kCloseTimeout) {
            const int open = OpenMenus(launcher);
            PressChord({VK_ESCAPE});
            PumpUntil([&] { return OpenMenus(launcher) < open; }, 2000);
        }
        if (launcher.OpenMenuWindow())
            fail(L"menu stays open");
        else if (::GetTickCount() - closing > 1000)
            result.note +=
                L", closed after " + std::to_wstring(::GetTickCount() - closing) + L" ms";
    }
    const DWORD code = launcher.IsRunning() ? launcher.CloseAndWait(15000) : 0xDEAD;
    if (code == STILL_ACTIVE)
        fail(L"did not exit");
    else if (code != 0)
        fail(L"exit code " + std::to_wstring(code));
    else if (const std::wstring fault = RegistryFault(c.expected); !fault.empty())
        fail(L"registry: " + fault);
    if (result.outcome.empty())
        result.outcome = L"ok";
    return result;
}

// Every value of "Setting" stored with the type and bytes that make(name, default) gives.
std::function<void()>
AllSettingValues(std::function<void(const std::wstring&, const std::wstring&)> make) {
    return [make] {
        for (const auto& [name, text] : kDefaults)
            make(name, text);
    };
}

const std::vector<MyMenuEntry> kTwoEntries = {{L"メモ帳", L"C:\\windows\\notepad.exe"},
                                              {L"Windows", L"C:\\windows"}};

std::vector<Case> RegistryCases() {
    std::vector<Case> cases;
    auto withEntries = [](std::function<void()> values) {
        return [values] {
            values();
            StoreEntries(kTwoEntries);
        };
    };
    // Every value but the count, which has cases of its own below: the entries stay.
    auto bad = [&](const std::wstring& name,
                   std::function<void(const std::wstring&, const std::wstring&)> make) {
        cases.push_back({L"Setting all " + name,
                         [make] {
                             AllSettingValues([make](const std::wstring& n, const std::wstring& t) {
                                 if (n != L"MenuCount")
                                     make(n, t);
                             })();
                             StoreEntries(kTwoEntries);
                         },
                         kTwoEntries});
    };
    bad(L"REG_BINARY", [](const std::wstring& n, const std::wstring& t) {
        SetRegistryValue(kKey, S, n, REG_BINARY, t.data(),
                         static_cast<DWORD>(t.size() * sizeof(wchar_t)));
    });
    bad(L"REG_MULTI_SZ", [](const std::wstring& n, const std::wstring& t) {
        const std::wstring multi = t + L'\0' + L"second" + L'\0';
        SetRegistryValue(kKey, S, n, REG_MULTI_SZ, multi.c_str(),
                         static_cast<DWORD>((multi.size() + 1) * sizeof(wchar_t)));
    });
    bad(L"REG_EXPAND_SZ", [](const std::wstring& n, const std::wstring& t) {
        SetText(S, n, t + L"%TEMP%", REG_EXPAND_SZ);
    });
    bad(L"empty text", [](const std::wstring& n, const std::wstring&) { SetText(S, n, L""); });
    bad(L"embedded NUL", [](const std::wstring& n, const std::wstring& t) {
        const std::wstring text = t.substr(0, 1) + L'\0' + t.substr(1);
        SetRegistryValue(kKey, S, n, REG_SZ, text.c_str(),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    });
    bad(L"odd byte count", [](const std::wstring& n, const std::wstring& t) {
        SetRegistryValue(kKey, S, n, REG_SZ, t.c_str(),
                         static_cast<DWORD>(t.size() * sizeof(wchar_t) + 1));
    });

    cases.push_back({L"numbers out of range", withEntries([] {
                         for (const auto& [name, value] :
                              std::vector<std::pair<std::wstring, std::wstring>>{
                                  {L"MenuBannerWidth", L"100000"},
                                  {L"ShowHintFrom", L"-2147483648"},
                                  {L"BannerFontHeight", L"2147483647"},
                                  {L"UpperColor", L"-1"},
                                  {L"BottomColor", L"4294967295"},
                                  {L"BannerFontColor", L"-2147483623"},
                                  {L"BannerFontStyle", L"-7"},
                                  {L"MenuDrawStyle", L"99"}})
                             SetText(S, name, value);
                     }),
                     kTwoEntries});
    cases.push_back({L"banner width 1", withEntries([] { SetText(S, L"MenuBannerWidth", L"1"); }),
                     kTwoEntries});
    // A count that says "none" reads no entry; the save at exit then drops the section.
    for (const wchar_t* count : {L"-1", L"0", L"abc"}) {
        cases.push_back({std::wstring(L"MenuCount ") + count,
                         [count] {
                             StoreEntries(kTwoEntries);
                             SetText(S, L"MenuCount", count);
                         },
                         {}});
    }
    // The count is bound by the section's four values: two more entries, empty ones.
    cases.push_back({L"MenuCount 2147483647",
                     [] {
                         StoreEntries(kTwoEntries);
                         SetText(S, L"MenuCount", L"2147483647");
                     },
                     {kTwoEntries[0], kTwoEntries[1], {}, {}}});
    cases.push_back(
        {L"MyMenu with holes",
         [] {
             SetText(S, L"MenuCount", L"4");
             SetText(M, L"Caption0", L"first");
             SetText(M, L"Path0", L"C:\\windows");
             SetText(M, L"Path1", L"C:\\windows\\system32");
             SetText(M, L"Caption3", L"no path");
         },
         {{L"first", L"C:\\windows"}, {L"", L"C:\\windows\\system32"}, {}, {L"no path", L""}}});
    return cases;
}

std::wstring LongPathForm(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

std::vector<Case> EntryCases() {
    std::vector<Case> cases;
    // A folder path of 300 characters, and a file in it.
    std::wstring longDir = MakeFolder(L"long");
    while (longDir.size() < 300) {
        longDir += L"\\" + std::wstring(40, L'd');
        ::CreateDirectoryW(LongPathForm(longDir).c_str(), nullptr);
    }
    WriteFile(LongPathForm(longDir + L"\\file.txt"), "x");
    cases.push_back({L"path of 300 characters",
                     {},
                     {{L"long", longDir}, {L"file", longDir + L"\\file.txt"}},
                     -1});

    const std::wstring names = MakeFolder(L"names");
    // Programs, which every prefix can open, and a folder.
    for (const wchar_t* name : {L"中文文件.bat", L"한국어 파일.bat", L"😀 emoji.bat"})
        WriteFile(names + L"\\" + name, "@echo off\r\n");
    ::CreateDirectoryW((names + L"\\中文 한국어 😀").c_str(), nullptr);
    cases.push_back({L"names outside Shift-JIS",
                     {},
                     {{L"中文", names + L"\\中文文件.bat"},
                      {L"한국어", names + L"\\한국어 파일.bat"},
                      {L"😀", names}},
                     2});
    cases.back().artifact = L"bad-input-names";
    cases.push_back(
        {L"missing drive", {}, {{L"Q:", L"Q:\\missing\\file.txt"}, {L"Q: root", L"Q:\\"}}, -1});
    cases.push_back(
        {L"UNC server that does not answer",
         {},
         {{L"unc", L"\\\\192.0.2.1\\share"}, {L"unc file", L"\\\\192.0.2.1\\share\\a.txt"}},
         -1});

    const std::wstring odd = MakeFolder(L"odd");
    WriteFile(odd + L"\\gone.txt", "x");
    MakeShortcut(odd + L"\\target gone.lnk", odd + L"\\gone.txt");
    ::DeleteFileW((odd + L"\\gone.txt").c_str());
    WriteFile(odd + L"\\random.lnk", RandomBytes(4096));
    WriteFile(odd + L"\\no url.url", "[InternetShortcut]\r\n");
    cases.push_back({L"dead, random and URL-less shortcuts",
                     {},
                     {{L"dead", odd + L"\\target gone.lnk"},
                      {L"random", odd + L"\\random.lnk"},
                      {L"no url", odd + L"\\no url.url"},
                      {L"odd files", odd}},
                     3});
    for (Case& c : cases)
        if (!c.setUp)
            c.setUp = [expected = c.expected] { StoreEntries(expected); };
    return cases;
}

std::vector<Case> FolderCases() {
    std::vector<Case> cases;
    const std::wstring vanishing = MakeFolder(L"vanishing");
    WriteFile(vanishing + L"\\a.txt", "x");
    cases.push_back(
        {L"folder gone before its submenu", {}, {{L"vanishing", vanishing}}, 0, [vanishing] {
             ::DeleteFileW((vanishing + L"\\a.txt").c_str());
             ::RemoveDirectoryW(vanishing.c_str());
         }});

    const std::wstring locked = MakeFolder(L"locked");
    WriteFile(locked + L"\\a.txt", "x");
    // No access for anyone (an empty list); whether the file system enforces it is noted.
    ACL empty{};
    ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    ::SetNamedSecurityInfoW(const_cast<wchar_t*>(locked.c_str()), SE_FILE_OBJECT,
                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, &empty, nullptr);
    cases.push_back({L"folder without read permission", {}, {{L"locked", locked}}, 0});
    // Last, as the largest: 10,000 items, which 256 columns could show, in one that scrolls.
    const std::wstring big = MakeFolder(L"big");
    for (int i = 0; i < 10000; ++i)
        WriteFile(big + L"\\file" + std::to_wstring(i) + L".bat", ""); // shown in any prefix
    cases.push_back({L"folder of 10,000 files", {}, {{L"big", big}}, 0});
    cases.back().artifact = L"bad-input-10000";
    cases.back().submenuFault = OneScrollingColumnFault;

    for (Case& c : cases)
        c.setUp = [expected = c.expected] { StoreEntries(expected); };
    return cases;
}

std::string Narrow(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
    return result;
}

TEST(BadInput, TheLauncherStartsShowsItsMenuKeepsEveryEntryAndLeavesTheKeySound) {
    std::vector<Case> cases = RegistryCases();
    for (auto* more : {&EntryCases, &FolderCases})
        for (Case& c : more())
            cases.push_back(std::move(c));
    // TOLVERN_BAD_INPUT_CASE=text runs only the cases whose name holds the text.
    wchar_t only[128] = {};
    ::GetEnvironmentVariableW(L"TOLVERN_BAD_INPUT_CASE", only, 128);
    std::vector<Result> results;
    for (const Case& c : cases) {
        if (*only && c.name.find(only) == std::wstring::npos)
            continue;
        results.push_back(RunCase(c));
        EXPECT_EQ(L"ok", results.back().outcome) << Narrow(c.name);
    }
    ResetSettings();

    const std::wstring locked = MakeFolder(L"locked");
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((locked + L"\\*").c_str(), &data);
    const bool enforced = find == INVALID_HANDLE_VALUE;
    if (!enforced)
        ::FindClose(find);
    for (Result& r : results)
        if (r.name == L"folder without read permission" && !enforced)
            r.note += L" (permission not enforced here)";

    std::printf("\n%-38s | %-6s | %s\n", "case", "result", "note");
    std::printf("%s\n", std::string(100, '-').c_str());
    for (const Result& r : results)
        std::printf("%-38s | %-6s | %s\n", Narrow(r.name).c_str(), Narrow(r.outcome).c_str(),
                    Narrow(r.note).c_str());
    std::fflush(stdout);
}

} // namespace
} // namespace tolvern
