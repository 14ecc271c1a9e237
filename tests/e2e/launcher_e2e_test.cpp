// The real launcher executable under Wine: single copy, "/WAIT:", saving at exit, the tray icon,
// and the exception policy.
#include "app/resource_ids.h"
#include "app/task_tray_icon.h"
#include "settings/launcher_settings.h"
#include "support/launcher_process.h"
#include "support/running_launcher.h"
#include "support/screen_capture.h"
#include "support/tray_probe.h"
#include "support/user_input.h"

#include <gtest/gtest.h>

#include <shellapi.h>

namespace tolvern {
namespace {

using namespace test;

const std::wstring kKey = std::wstring(kSettingsKeyPath).substr(1);
constexpr DWORD kStartTimeout = 20000;

std::wstring Launcher() {
    return BuiltProgram(L"TolvernLauncher.exe");
}

void SetValue(const std::wstring& section, const std::wstring& name, const std::wstring& text) {
    SetSetting(section, name, text);
    ASSERT_EQ(text, GetSetting(section, name));
}

std::wstring GetValue(const std::wstring& section, const std::wstring& name) {
    return GetSetting(section, name);
}

DWORD CountValues(const std::wstring& section) {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, (kKey + L"\\" + section).c_str(), 0, KEY_READ, &key))
        return 0;
    DWORD count = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                       nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    return count;
}

// Ready: the tray icon shows with the title as its tip and the message loop waits for input.
bool WaitUntilReady(const LauncherProcess& launcher, TrayIconInfo* icon = nullptr) {
    if (!WaitForTrayTip(kApplicationTitle, kStartTimeout, icon))
        return false;
    return ::WaitForInputIdle(launcher.Handle(), 10000) == 0;
}

using LauncherEndToEnd = LauncherEndToEndTest;

TEST_F(LauncherEndToEnd, ASecondCopyEndsAtOnceWhileTheFirstKeepsRunning) {
    LauncherProcess first(Launcher());
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitUntilReady(first));

    LauncherProcess second(Launcher());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(0u, second.WaitForExit(10000));
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(1u, [&] {
        unsigned n = 0;
        for (const TrayIconInfo& icon : ReadTrayIcons())
            n += icon.tip == kApplicationTitle;
        return n;
    }()) << "only one icon in the notification area";
    EXPECT_EQ(0u, first.CloseAndWait(10000));
}

TEST_F(LauncherEndToEnd, TwoCopiesStartedTogetherLeaveOneRunning) {
    for (int round = 0; round < 3; ++round) {
        LauncherProcess a(Launcher());
        LauncherProcess b(Launcher());
        ASSERT_TRUE(a.Started() && b.Started());
        // One of them ends at once with code 0; the other becomes the running copy.
        ASSERT_TRUE(PumpUntil([&] { return !a.IsRunning() || !b.IsRunning(); }, 15000));
        LauncherProcess& ended = a.IsRunning() ? b : a;
        LauncherProcess& running = a.IsRunning() ? a : b;
        EXPECT_EQ(0u, ended.WaitForExit(1000));
        ASSERT_TRUE(WaitUntilReady(running));
        EXPECT_TRUE(running.IsRunning());
        EXPECT_EQ(0u, running.CloseAndWait(10000));
        ASSERT_TRUE(WaitForTrayTipGone(kApplicationTitle, 10000));
    }
}

TEST_F(LauncherEndToEnd, WaitArgumentDelaysTheFirstWindow) {
    auto timeToFirstWindow = [](const std::wstring& arguments) {
        LauncherProcess launcher(Launcher(), arguments);
        EXPECT_TRUE(launcher.WaitForWindowOfClass(L"TForm1", kStartTimeout));
        const DWORD elapsed = ::GetTickCount() - launcher.StartTick();
        EXPECT_TRUE(WaitUntilReady(launcher));
        EXPECT_EQ(0u, launcher.CloseAndWait(10000));
        EXPECT_TRUE(WaitForTrayTipGone(kApplicationTitle, 10000));
        return static_cast<long>(elapsed);
    };
    const long plain = timeToFirstWindow(L"");
    const long waited = timeToFirstWindow(L"/WAIT:2");
    const long delay = waited - plain;
    std::printf("first window after %ld ms, with /WAIT:2 after %ld ms\n", plain, waited);
    EXPECT_GE(delay, 1700);
    EXPECT_LE(delay, 3500);
}

TEST_F(LauncherEndToEnd, ANonNumericWaitIsReportedAndEndsWithCodeTwo) {
    LauncherProcess launcher(Launcher(), L"/WAIT:abc");
    HWND box = launcher.WaitForWindowOfClass(L"#32770", kStartTimeout);
    ASSERT_NE(nullptr, box);
    wchar_t caption[256] = {}, text[1024] = {};
    // The box exists before it is filled in: wait until it shows.
    PumpUntil(
        [&] {
            ::GetWindowTextW(box, caption, 256);
            ::GetDlgItemTextW(box, 0xFFFF, text, 1024); // the message box's text control
            return ::IsWindowVisible(box) && caption[0] && text[0];
        },
        5000);
    EXPECT_STREQ(kApplicationTitle, caption);
    EXPECT_NE(nullptr, wcsstr(text, L"'/WAIT:abc'")) << testing::PrintToString(std::wstring(text));
    EXPECT_NE(nullptr, wcsstr(text, L"正しい数値ではありません"));
    EXPECT_EQ(nullptr, launcher.FindWindowOfClass(L"TForm1")) << "no window before the answer";
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(2u, launcher.WaitForExit(10000));
}

TEST_F(LauncherEndToEnd, ClosingTheTrayFormSavesEverySetting) {
    {
        LauncherProcess launcher(Launcher());
        ASSERT_TRUE(WaitUntilReady(launcher));
        EXPECT_EQ(0u, launcher.CloseAndWait(10000));
    }
    EXPECT_EQ(29u, CountValues(kSettingSection)) << "a first start writes every default";
    EXPECT_EQ(L"Ctrl+Alt+L", GetValue(kSettingSection, L"HotKey"));
    EXPECT_EQ(L"8421376", GetValue(kSettingSection, L"UpperColor"));
    EXPECT_EQ(L"0", GetValue(kSettingSection, L"MenuCount"));

    const std::pair<std::wstring, std::wstring> entries[] = {
        {L"メモ帳", L"C:\\windows\\notepad.exe"}, {L"R&&D", L"C:\\windows"}};
    SetValue(kSettingSection, L"MenuCount", L"2");
    SetValue(kSettingSection, L"PopupPos", L"LeftTop");
    SetValue(kSettingSection, L"BannerText", L"バナー");
    for (int i = 0; i < 2; ++i) {
        SetValue(kMyMenuSection, L"Caption" + std::to_wstring(i), entries[i].first);
        SetValue(kMyMenuSection, L"Path" + std::to_wstring(i), entries[i].second);
    }
    {
        LauncherProcess launcher(Launcher());
        ASSERT_TRUE(WaitUntilReady(launcher));
        EXPECT_EQ(0u, launcher.CloseAndWait(10000));
    }
    EXPECT_EQ(4u, CountValues(kMyMenuSection));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].first, GetValue(kMyMenuSection, L"Caption" + std::to_wstring(i)));
        EXPECT_EQ(entries[i].second, GetValue(kMyMenuSection, L"Path" + std::to_wstring(i)));
    }
    EXPECT_EQ(L"LeftTop", GetValue(kSettingSection, L"PopupPos"));
    EXPECT_EQ(L"バナー", GetValue(kSettingSection, L"BannerText"));
}

TEST_F(LauncherEndToEnd, TheFirstStartExplainsItselfInABalloonOnlyThatOnce) {
    // No settings key: a first start.
    {
        LauncherProcess launcher(Launcher());
        ASSERT_TRUE(WaitUntilReady(launcher));
        std::vector<std::wstring> balloons;
        PumpUntil([&] { return !(balloons = ReadTrayBalloonTexts()).empty(); }, 5000);
        const std::vector<std::wstring> expected = {
            L"通知領域に常駐しています。\nアイコンを右クリックするか Ctrl+Alt+L を押すと、"
            L"メニューが開きます。"};
        EXPECT_EQ(expected, balloons);
        SaveArtifact(CaptureScreen(), L"e2e-first-start-balloon");
        EXPECT_EQ(0u, launcher.CloseAndWait(10000));
        EXPECT_TRUE(WaitForTrayTipGone(kApplicationTitle, 10000));
    }
    // Settings were saved at the exit: no balloon any more.
    LauncherProcess again(Launcher());
    ASSERT_TRUE(WaitUntilReady(again));
    EXPECT_FALSE(PumpUntil([] { return !ReadTrayBalloonTexts().empty(); }, 3000));
    EXPECT_EQ(0u, again.CloseAndWait(10000));
}

// The ready icon is a teal tile with an orange "T".
int CountOrangePixels(const Image& image) {
    int n = 0;
    for (COLORREF c : image.pixels)
        n += c == RGB(255, 140, 0);
    return n;
}

TEST_F(LauncherEndToEnd, TheTrayIconShowsWithTheTitleAndComesBackWithANewTaskbar) {
    LauncherProcess launcher(Launcher());
    TrayIconInfo icon;
    ASSERT_TRUE(WaitUntilReady(launcher, &icon));
    PumpUntil([] { return false; }, 500); // let the taskbar paint
    Image tray = CaptureScreen(&icon.rect);
    // Rest the mouse on the icon so that the screenshot shows its tip as a person sees it.
    ::SetCursorPos((icon.rect.left + icon.rect.right) / 2, (icon.rect.top + icon.rect.bottom) / 2);
    ::SetCursorPos((icon.rect.left + icon.rect.right) / 2 + 1,
                   (icon.rect.top + icon.rect.bottom) / 2);
    PumpUntil([] { return false; }, 1500);
    SaveArtifact(CaptureScreen(), L"e2e-tray-icon");
    EXPECT_GE(CountOrangePixels(tray), 20) << "the ready icon is not in the notification area";

    // A shell that restarts forgets the icon and announces its new taskbar to everyone.
    HWND notifyWindow = launcher.FindWindowOfClass(L"TTaskTrayIconWindow");
    ASSERT_NE(nullptr, notifyWindow);
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = notifyWindow;
    data.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_TRUE(WaitForTrayTipGone(kApplicationTitle, 5000));
    ::SendNotifyMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_TRUE(WaitForTrayTip(kApplicationTitle, 5000, &icon));
    PumpUntil([] { return false; }, 500);
    EXPECT_GE(CountOrangePixels(CaptureScreen(&icon.rect)), 20);
    SaveArtifact(CaptureScreen(), L"e2e-tray-icon-after-taskbar-created");
    EXPECT_EQ(0u, launcher.CloseAndWait(10000));
    EXPECT_TRUE(WaitForTrayTipGone(kApplicationTitle, 5000)) << "the icon leaves with the program";
}

// One of the program's own 16x16 icons as the tray draws it (the pictures fill their square).
Image ProgramIcon(int id) {
    HMODULE program = ::LoadLibraryExW(Launcher().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HICON icon = static_cast<HICON>(
        ::LoadImageW(program, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    Image image = CaptureDC(dc, 16, 16);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ::DestroyIcon(icon);
    ::FreeLibrary(program);
    return image;
}

// Whether the picture stands somewhere in the image, pixel for pixel.
bool Shows(const Image& image, const Image& picture) {
    for (int y = 0; y + picture.height <= image.height; ++y)
        for (int x = 0; x + picture.width <= image.width; ++x) {
            bool same = true;
            for (int py = 0; same && py < picture.height; ++py)
                for (int px = 0; same && px < picture.width; ++px)
                    same = image.At(x + px, y + py) == picture.At(px, py);
            if (same)
                return true;
        }
    return false;
}

TEST_F(LauncherEndToEnd, WhileStartingTheIconShowsItAndARightClickOpensTheMenuOnceReady) {
    // Many entries make the start long enough to click during it.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tolvern-slow-start";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    constexpr int kEntries = 100; // about two seconds on an idle machine
    SetValue(kSettingSection, L"MenuCount", std::to_wstring(kEntries));
    for (int i = 0; i < kEntries; ++i) {
        const std::wstring path = folder + L"\\entry" + std::to_wstring(i) + L".txt";
        ::CloseHandle(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        SetSetting(kMyMenuSection, L"Caption" + std::to_wstring(i), L"Entry " + std::to_wstring(i));
        SetSetting(kMyMenuSection, L"Path" + std::to_wstring(i), path);
    }
    const DWORD start = ::GetTickCount();
    LauncherProcess launcher(Launcher());
    TrayIconInfo icon;
    ASSERT_TRUE(WaitForTrayTip(kApplicationTitle, kStartTimeout, &icon));
    const Image building = ProgramIcon(IDI_TRAY_OFF), ready = ProgramIcon(IDI_TRAY_ON);
    ASSERT_FALSE(Shows(building, ready));
    EXPECT_TRUE(PumpUntil([&] { return Shows(CaptureScreen(&icon.rect), building); }, 5000))
        << "the tray does not show the picture of a launcher being built";
    std::printf("icon after %lu ms\n", ::GetTickCount() - start);

    ClickAt({(icon.rect.left + icon.rect.right) / 2, (icon.rect.top + icon.rect.bottom) / 2}, true);
    ASSERT_TRUE(Shows(CaptureScreen(&icon.rect), building))
        << "the start was over before the click";
    HWND menu = nullptr;
    // A busy machine takes ten times as long to start.
    EXPECT_TRUE(PumpUntil([&] { return (menu = launcher.OpenMenuWindow()) != nullptr; }, 90000))
        << "the click made while starting opened no menu";
    std::printf("menu after %lu ms\n", ::GetTickCount() - start);
    PressChord({VK_ESCAPE});
    EXPECT_TRUE(PumpUntil([&] { return launcher.OpenMenuWindow() == nullptr; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return Shows(CaptureScreen(&icon.rect), ready); }, 5000))
        << "ready, yet not shown so";
    EXPECT_EQ(nullptr, launcher.OpenMenuWindow()) << "one click opens one menu";
    EXPECT_EQ(0u, launcher.CloseAndWait(10000));
}

TEST_F(LauncherEndToEnd, AnExceptionFromAnEventHandlerEndsTheProgramWithoutSaving) {
    SetValue(kSettingSection, L"ShowHintFrom", L"abc");
    LauncherProcess launcher(BuiltProgram(L"TolvernLauncherTestHooks.exe"));
    ASSERT_TRUE(WaitUntilReady(launcher));
    HWND notifyWindow = launcher.FindWindowOfClass(L"TTaskTrayIconWindow");
    ASSERT_NE(nullptr, notifyWindow);
    // The test build throws from the tray icon's mouse-move handler.
    ::PostMessageW(notifyWindow, TrayCallbackMessage, 1, WM_MOUSEMOVE);
    EXPECT_EQ(0u, launcher.WaitForExit(10000));
    EXPECT_EQ(L"abc", GetValue(kSettingSection, L"ShowHintFrom"));
    EXPECT_EQ(L"<missing>", GetValue(kSettingSection, L"MenuCount")) << "nothing was saved";
    EXPECT_TRUE(WaitForTrayTipGone(kApplicationTitle, 5000));
}

} // namespace
} // namespace tolvern
