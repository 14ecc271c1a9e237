// The About box from its template: texts and controls read back from the windows, the link and
// its margin reached by real mouse clicks, and every way of closing it, under Wine.
#include "settings/about_box.h"
#include "settings/dialog_ids.h"

#include "support/dialog_sizes.h"
#include "support/screen_capture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

namespace tolvern {
namespace {

RECT ScreenRect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

void SendKey(WORD vk) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &input[0], sizeof(INPUT));
    ::Sleep(30);
    ::SendInput(1, &input[1], sizeof(INPUT));
    ::Sleep(100);
}

// A real mouse click at a screen point, as absolute pointer input.
void Click(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(x * 65535LL / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(y * 65535LL / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    for (DWORD flags : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        ::SendInput(1, &input, sizeof input);
        ::Sleep(50);
    }
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= milliseconds)
            return false;
        ::Sleep(20);
    }
    return true;
}

// Shows the box modally; `act` runs on a second thread once the box is on screen.
int RunModal(TAboutBox& box, const std::function<void()>& act) {
    std::atomic<bool> shown = false;
    std::atomic<bool> closedByAction = false;
    std::thread driver([&] {
        for (int i = 0; i < 100 && !::IsWindowVisible(box.Handle()); ++i)
            ::Sleep(50);
        shown = ::IsWindowVisible(box.Handle()) != FALSE;
        ::Sleep(300);
        act();
        // A box that the action did not close is closed here, so that the test fails instead of
        // waiting for ever.
        closedByAction = WaitFor([&] { return !::IsWindowVisible(box.Handle()); });
        if (!closedByAction)
            ::PostMessageW(box.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    const int result = box.ShowModal();
    driver.join();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(closedByAction);
    EXPECT_FALSE(::IsWindowVisible(box.Handle()));
    return result;
}

// Does the text of a static control fit it, in the control's own font and wrapping?
void ExpectTextFits(HWND control) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT client{};
    ::GetClientRect(control, &client);
    RECT need{0, 0, client.right, 0};
    const std::wstring text = WindowText(control);
    ::DrawTextW(dc, text.c_str(), -1, &need,
                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    EXPECT_LE(need.right, client.right) << testing::PrintToString(text);
    EXPECT_LE(need.bottom, client.bottom) << testing::PrintToString(text);
}

TEST(AboutBox, ShowsItsTextsOpensTheLinkAndClosesEveryWay) {
    Application application;
    application.SetTitle(L"Tolvern Launcher");
    TAboutBox box(application);
    HWND dialog = box.Handle();
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(application.Handle(), ::GetWindow(dialog, GW_OWNER));
    EXPECT_EQ(L"バージョン情報", WindowText(dialog));

    // Every control, in tab and Z order: identifier, class, text.
    std::vector<std::tuple<int, std::wstring, std::wstring>> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        controls.emplace_back(::GetDlgCtrlID(child), WindowClassName(child), WindowText(child));
    const std::vector<std::tuple<int, std::wstring, std::wstring>> expected = {
        {IDOK, L"Button", L"OK"},
        {IDC_ABOUT_ICON, L"Static", L"\xFFFF\x1"}, // the icon's resource number, IDI_PROGRAM
        {IDC_ABOUT_PRODUCT, L"Static", L"Tolvern Launcher"},
        {IDC_ABOUT_VERSION, L"Static", L"Version 0.3"},
        {IDC_ABOUT_NOTICE, L"Static",
         L"Copyright (C) 2026 Marrowick\nご意見・ご要望は下記のページへ"},
        {IDC_ABOUT_LINK, L"Static", kProductPageUrl},
        {IDC_ABOUT_LINK_BUTTON, L"Button", L""},
        {IDC_ABOUT_PANEL, L"Static", L""}};
    EXPECT_EQ(expected, controls);
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(
                           ::SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0)));
    EXPECT_EQ(static_cast<LRESULT>(MAKELONG(IDOK, DC_HASDEFID)),
              ::SendMessageW(dialog, DM_GETDEFID, 0, 0));

    LOGFONTW product{}, link{};
    ::GetObjectW(
        reinterpret_cast<HFONT>(::SendDlgItemMessageW(dialog, IDC_ABOUT_PRODUCT, WM_GETFONT, 0, 0)),
        sizeof product, &product);
    ::GetObjectW(
        reinterpret_cast<HFONT>(::SendDlgItemMessageW(dialog, IDC_ABOUT_LINK, WM_GETFONT, 0, 0)),
        sizeof link, &link);
    EXPECT_EQ(-16, product.lfHeight);
    EXPECT_EQ(std::wstring(L"ＭＳ Ｐゴシック"), product.lfFaceName);
    EXPECT_TRUE(link.lfUnderline);

    // The link is blue with the hand cursor, and so is its button.
    HWND linkLabel = ::GetDlgItem(dialog, IDC_ABOUT_LINK);
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(linkLabel));
    EXPECT_EQ(RGB(0, 0, 255), ::GetTextColor(dc));
    ::DeleteDC(dc);
    for (int id : {IDC_ABOUT_LINK, IDC_ABOUT_LINK_BUTTON}) {
        ::SetCursor(nullptr);
        EXPECT_EQ(TRUE, ::SendMessageW(dialog, WM_SETCURSOR,
                                       reinterpret_cast<WPARAM>(::GetDlgItem(dialog, id)),
                                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());
    }

    // The flat button lies around the link with 2 pixels on every side.
    {
        const RECT label = ScreenRect(::GetDlgItem(dialog, IDC_ABOUT_LINK));
        const RECT button = ScreenRect(::GetDlgItem(dialog, IDC_ABOUT_LINK_BUTTON));
        EXPECT_EQ(label.left - 2, button.left);
        EXPECT_EQ(label.top - 2, button.top);
        EXPECT_EQ(label.right + 2, button.right);
        EXPECT_EQ(label.bottom + 2, button.bottom);
    }
    for (int id : {IDC_ABOUT_PRODUCT, IDC_ABOUT_VERSION, IDC_ABOUT_NOTICE, IDC_ABOUT_LINK})
        ExpectTextFits(::GetDlgItem(dialog, id));
    RECT client{};
    ::GetClientRect(dialog, &client);
    // About 300 by 192 pixels; the exact size follows the font's dialog units.
    EXPECT_NEAR(300, client.right, 15);
    EXPECT_NEAR(192, client.bottom, 12);

    std::vector<std::pair<HWND, std::wstring>> opened;
    std::atomic<int> opens = 0;
    box.OpenPage = [&](HWND owner, const std::wstring& url) {
        opened.emplace_back(owner, url);
        ++opens;
    };

    // Another window of the program is disabled while the box is up.
    HWND other = ::CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    bool otherEnabled = true;
    RECT shown{};
    const int byEnter = RunModal(box, [&] {
        otherEnabled = ::IsWindowEnabled(other) != FALSE;
        shown = ScreenRect(dialog);
        test::SaveArtifact(test::CaptureScreen(&shown), L"about_box");
        const RECT label = ScreenRect(::GetDlgItem(dialog, IDC_ABOUT_LINK));
        const int midY = (label.top + label.bottom) / 2;
        const std::vector<std::tuple<int, int, int>> clicks = {
            {(label.left + label.right) / 2, midY, 1}, // the link text
            {label.left - 1, midY, 2},                 // inside the margin
            {label.right + 1, label.bottom + 1, 3},    // the margin's lower right corner
            {label.left - 5, midY, 3}};                // outside the margin: nothing
        for (auto [x, y, count] : clicks) {
            Click(x, y);
            WaitFor([&, count = count] { return opens >= count; });
            // Past the double-click time, so that each click is a click of its own.
            ::Sleep(::GetDoubleClickTime() + 100);
            EXPECT_EQ(count, opens) << x << "," << y;
        }
        SendKey(VK_RETURN);
    });
    EXPECT_EQ(IDOK, byEnter);
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(::IsWindowEnabled(other));
    ::DestroyWindow(other);
    const std::vector<std::pair<HWND, std::wstring>> threeOpens(3, {dialog, kProductPageUrl});
    EXPECT_EQ(threeOpens, opened);
    // Centred on the screen of the monitor of the pointer.
    EXPECT_NEAR(512, (shown.left + shown.right) / 2, 1);
    EXPECT_NEAR(384, (shown.top + shown.bottom) / 2, 1);

    // A keyboard user who tabs to the link sees its focus frame; before, the margin is bare.
    HWND linkButton = ::GetDlgItem(dialog, IDC_ABOUT_LINK_BUTTON);
    auto framePixels = [&] {
        RECT button = ScreenRect(linkButton);
        const test::Image image = test::CaptureScreen(&button);
        int framed = 0;
        for (int x = 0; x < image.width; ++x) // the top row holds nothing but the frame
            framed += image.At(x, 0) != ::GetSysColor(COLOR_BTNFACE);
        return framed;
    };
    int beforeTab = -1, afterTab = -1;
    bool linkFocused = false;
    EXPECT_EQ(IDCANCEL, RunModal(box, [&] {
                  beforeTab = framePixels();
                  for (int i = 0; i < 4 && ::GetFocus() != linkButton; ++i) {
                      SendKey(VK_TAB);
                      linkFocused = WaitFor(
                          [&] {
                              GUITHREADINFO info{};
                              info.cbSize = sizeof info;
                              ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr),
                                                 &info);
                              return info.hwndFocus == linkButton;
                          },
                          300);
                      if (linkFocused)
                          break;
                  }
                  ::Sleep(200);
                  afterTab = framePixels();
                  SendKey(VK_ESCAPE);
              }));
    EXPECT_TRUE(linkFocused) << "Tab never reached the link";
    EXPECT_EQ(0, beforeTab);
    EXPECT_GT(afterTab, 10) << "no focus frame on the link reached by Tab";

    EXPECT_EQ(IDCANCEL, RunModal(box, [&] { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_EQ(IDOK, RunModal(box, [&] {
                  const RECT ok = ScreenRect(::GetDlgItem(dialog, IDOK));
                  Click((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
              }));
    // A program that is told to quit while the box is up leaves the box and still quits.
    const DWORD uiThread = ::GetCurrentThreadId();
    EXPECT_EQ(0, RunModal(box, [&] { ::PostThreadMessageW(uiThread, WM_QUIT, 7, 0); }));
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, quit.wParam);
}

// What the box sized in pixels: fonts of the product, the link and the rest, the icon's width,
// and the link button's margin around the link (left, top, right, bottom).
std::vector<int> PixelSizes(HWND dialog) {
    auto item = [dialog](int id) { return ::GetDlgItem(dialog, id); };
    const RECT label = ScreenRect(item(IDC_ABOUT_LINK));
    const RECT button = ScreenRect(item(IDC_ABOUT_LINK_BUTTON));
    return {test::FontHeight(item(IDC_ABOUT_PRODUCT)),
            test::FontHeight(item(IDC_ABOUT_LINK)),
            test::FontHeight(item(IDOK)),
            test::FontHeight(item(IDC_ABOUT_NOTICE)),
            test::IconWidth(
                reinterpret_cast<HICON>(::SendMessageW(item(IDC_ABOUT_ICON), STM_GETICON, 0, 0))),
            label.left - button.left,
            label.top - button.top,
            button.right - label.right,
            button.bottom - label.bottom};
}

// Moved to a monitor at 150%, the box takes the suggested rectangle, and what it sized in pixels
// grows by 3/2; back at 96 DPI it is as it was.
TEST(AboutBox, AChangeOfDpiTakesTheSuggestedRectAndScalesItsFontsIconAndMargin) {
    Application application;
    application.SetTitle(L"Tolvern Launcher");
    TAboutBox box(application);
    HWND dialog = box.Handle();
    const RECT first = ScreenRect(dialog);
    EXPECT_EQ((std::vector<int>{-16, -12, -12, -12, 32, 2, 2, 2, 2}), PixelSizes(dialog));
    RECT suggested{50, 40, 50 + (first.right - first.left) * 3 / 2,
                   40 + (first.bottom - first.top) * 3 / 2};
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    const RECT moved = ScreenRect(dialog);
    EXPECT_TRUE(::EqualRect(&suggested, &moved));
    EXPECT_EQ((std::vector<int>{-24, -18, -18, -18, 48, 3, 3, 3, 3}), PixelSizes(dialog));
    for (int id : {IDC_ABOUT_PRODUCT, IDC_ABOUT_VERSION, IDC_ABOUT_NOTICE, IDC_ABOUT_LINK})
        ExpectTextFits(::GetDlgItem(dialog, id));
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&first));
    const RECT back = ScreenRect(dialog);
    EXPECT_TRUE(::EqualRect(&first, &back));
    EXPECT_EQ((std::vector<int>{-16, -12, -12, -12, 32, 2, 2, 2, 2}), PixelSizes(dialog));
}

// The product name is the application's title when the box is created.
TEST(AboutBox, ShowsTheApplicationTitle) {
    Application application;
    application.SetTitle(L"別の名前");
    TAboutBox box(application);
    EXPECT_EQ(L"別の名前", WindowText(::GetDlgItem(box.Handle(), IDC_ABOUT_PRODUCT)));
}

// Any version reads in the form of "Version 0.3": a patch level shows only when it is not 0.
TEST(AboutBox, VersionLineKeepsItsForm) {
    EXPECT_EQ(L"Version 0.3", VersionCaption(0, 3, 0));
    EXPECT_EQ(L"Version 0.3.1", VersionCaption(0, 3, 1));
    EXPECT_EQ(L"Version 12.0.7", VersionCaption(12, 0, 7));
}

} // namespace
} // namespace tolvern
