// SelDirEx with the shell's real folder browser: placement, the initial folder, the result;
// and DirectoryExists.
#include "components/sel_dir_ex.h"
#include "framework/window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>

namespace tolvern {
namespace {

// What the browser showed, read from inside its modal loop by a timer of this thread.
struct BrowserSeen {
    RECT rect{};
    std::wstring selected; // the tree's selected item
    bool found = false;
};

BrowserSeen* seen = nullptr;
UINT answer = IDCANCEL;

BOOL CALLBACK FindBrowser(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd) && WindowClassName(hwnd) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindTree(HWND hwnd, LPARAM found) {
    if (WindowClassName(hwnd) == WC_TREEVIEWW) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK InspectBrowser(HWND, UINT, UINT_PTR id, DWORD) {
    HWND browser = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBrowser, reinterpret_cast<LPARAM>(&browser));
    if (!browser)
        return;
    ::KillTimer(nullptr, id);
    seen->found = true;
    ::GetWindowRect(browser, &seen->rect);
    HWND tree = nullptr;
    ::EnumChildWindows(browser, FindTree, reinterpret_cast<LPARAM>(&tree));
    if (auto item =
            reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0))) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = text;
        tvi.cchTextMax = MAX_PATH;
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        seen->selected = text;
    }
    ::PostMessageW(browser, WM_COMMAND, answer, 0);
}

BrowserSeen Browse(const std::wstring& initialDir, int x, int y, UINT button, bool& result,
                   std::wstring& dir) {
    BrowserSeen browserSeen;
    seen = &browserSeen;
    answer = button;
    ::SetTimer(nullptr, 0, 100, InspectBrowser);
    dir = L"stale";
    result = SelDirEx(L"追加するフォルダを選択してください。", initialDir, dir, x, y);
    seen = nullptr;
    return browserSeen;
}

TEST(SelDirEx, PlacesTheBrowserCentredOrOnTheScreen) {
    const RECT screen{0, 0, 1024, 768};
    const SIZE dialog{300, 400};
    auto at = [&](int x, int y, const RECT& area) {
        const POINT p = BrowserPosition(x, y, dialog, area);
        return std::make_pair(static_cast<int>(p.x), static_cast<int>(p.y));
    };
    EXPECT_EQ(std::make_pair(362, 184), at(0, 300, screen)) << "one zero coordinate centres both";
    EXPECT_EQ(std::make_pair(362, 184), at(100, 0, screen));
    EXPECT_EQ(std::make_pair(100, 200), at(100, 200, screen));
    EXPECT_EQ(std::make_pair(724, 368), at(5000, 5000, screen)) << "moved back onto the screen";
    EXPECT_EQ(std::make_pair(0, 0), at(-50, -20, screen)) << "a negative result is raised to 0";
    EXPECT_EQ(0, BrowserPosition(900, 700, SIZE{2000, 1000}, screen).x)
        << "a browser wider than the screen starts at its left edge";
    // A monitor left of the primary one, lower than it.
    const RECT left{-1280, 30, 0, 1024};
    EXPECT_EQ(std::make_pair(-790, 327), at(0, 0, left));
    EXPECT_EQ(std::make_pair(-300, 624), at(5000, 5000, left));
    EXPECT_EQ(std::make_pair(-1280, 30), at(-5000, 10, left));
}

TEST(SelDirEx, TheRealBrowserStartsAtTheFolderAndReturnsTheChoice) {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    bool result = true;
    std::wstring dir;

    BrowserSeen centred = Browse(windows, 0, 300, IDOK, result, dir);
    ASSERT_TRUE(centred.found);
    const int width = centred.rect.right - centred.rect.left;
    const int height = centred.rect.bottom - centred.rect.top;
    // Centred on the screen.
    EXPECT_EQ((1024 - width) / 2, centred.rect.left);
    EXPECT_EQ((768 - height) / 2, centred.rect.top);
    EXPECT_TRUE(result);
    EXPECT_EQ(0, lstrcmpiW(windows, dir.c_str())) << dir;
    EXPECT_EQ(0, lstrcmpiW(L"windows", centred.selected.c_str())) << centred.selected;

    BrowserSeen rightEdge =
        Browse(windows, ::GetSystemMetrics(SM_CXSCREEN) - 10, 20, IDCANCEL, result, dir);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN) - width, rightEdge.rect.left);
    EXPECT_EQ(20, rightEdge.rect.top);
    EXPECT_FALSE(result);
    EXPECT_EQ(L"", dir) << "cancel leaves the folder empty";

    // A one-character folder is not selected: the browser shows what it shows with none.
    BrowserSeen none = Browse(L"", 0, 0, IDCANCEL, result, dir);
    BrowserSeen single = Browse(L"\\", 0, 0, IDCANCEL, result, dir);
    EXPECT_EQ(none.selected, single.selected);
    EXPECT_NE(0, lstrcmpiW(L"windows", single.selected.c_str()));
}

TEST(SelDirEx, DirectoryExistsOnlyForDirectories) {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_TRUE(DirectoryExists(windows));
    EXPECT_TRUE(DirectoryExists(L"C:\\"));
    EXPECT_FALSE(DirectoryExists(std::wstring(windows) + L"\\notepad.exe"));
    EXPECT_FALSE(DirectoryExists(L"C:\\no such folder"));
    EXPECT_FALSE(DirectoryExists(L""));
}

} // namespace
} // namespace tolvern
