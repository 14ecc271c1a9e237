// The launcher menu of a started settings form on a 150% screen: every length drawn for 144 DPI,
// icons drawn at 24 and 48 pixels from lists of that size, nothing clipped. Screenshots are kept
// in the artifacts folder (hidpi_menu_*.png) for a person to look at.
#include "base/dpi.h"
#include "support/menu_driver.h"
#include "support/screen_capture.h"
#include "support/started_launcher.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <thread>
#include <vector>

namespace tolvern {
namespace {

using namespace test;

struct MenuSeen {
    std::vector<int> heights; // of each item, top to bottom
    std::vector<int> widths;
    RECT firstItem{};
    Image picture;
};

MenuSeen SeeMenu(HWND window) {
    MenuSeen seen;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        RECT item{};
        ::GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &item);
        if (i == 0)
            seen.firstItem = item;
        seen.heights.push_back(item.bottom - item.top);
        seen.widths.push_back(item.right - item.left);
    }
    RECT whole{};
    ::GetWindowRect(window, &whole);
    seen.picture = CaptureScreen(&whole);
    ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&seen.firstItem), 2);
    RECT frame{};
    ::GetWindowRect(window, &frame);
    // The first item's place in the picture (the window's client area starts inside its frame).
    POINT client{0, 0};
    ::ClientToScreen(window, &client);
    ::OffsetRect(&seen.firstItem, client.x - frame.left, client.y - frame.top);
    return seen;
}

std::wstring DesktopDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

SIZE IconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return {0, 0};
    BITMAP bitmap{};
    ::GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    // A mask without colour holds the AND and XOR halves one above the other.
    return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

// The size of the caption as the menu's font at 144 DPI writes it.
SIZE TextSize(const std::wstring& caption) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const LOGFONTW logFont = MenuLogFont(144);
    HFONT font = ::CreateFontIndirectW(&logFont);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc, caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    return {r.right - r.left, r.bottom - r.top};
}

class LauncherMenuAt150Percent : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::wstring desktop = DesktopDirectory();
        ::CreateDirectoryW((desktop + L"\\プロジェクト").c_str(), nullptr);
        std::ofstream((desktop + L"\\start.bat").c_str()) << "@echo off";
    }

    struct Popped {
        MenuSeen top, desktop;
        int dpi = 0, smallList = 0, largeList = 0, poolIconSize = 0, bannerWidth = 0;
        int bannerBuffer = 0;
        int bannerHeight = 0;
        std::vector<std::wstring> captions; // of the visible top-level items
        SIZE entryIcon{}, submenuIcon{};
    };

    Popped PopUp(bool large, const std::wstring& name) {
        ScratchKey key;
        key.SetString(kSettingSection, L"LargeIcon", large ? L"1" : L"0");
        StoreEntries(key, {{L"メモ帳 & エディタ", L"C:\\windows\\notepad.exe"}});
        StartedLauncher launcher(key);
        TForm2& form2 = launcher.form2;
        Popped popped;
        std::thread driver([&] {
            HWND menu = WaitForMenuWindow();
            if (!menu)
                return;
            ::Sleep(400);
            popped.top = SeeMenu(menu);
            SaveArtifact(popped.top.picture, name + L"_top");
            Key(menu, VK_DOWN);
            Key(menu, VK_DOWN);
            Key(menu, VK_RIGHT);
            if (HWND sub = WaitForMenuWindow({menu})) {
                ::Sleep(1500); // the icons arrive from the worker
                popped.desktop = SeeMenu(sub);
                SaveArtifact(CaptureScreen(), name + L"_desktop_submenu");
            }
            CloseAllMenus();
        });
        ::SetForegroundWindow(form2.PopupMenu2.WindowHandle());
        form2.PopupMenu2.Popup(100, 60);
        driver.join();

        TBarPopupMenu& menu = form2.PopupMenu2;
        popped.dpi = menu.Dpi;
        popped.smallList = form2.Menu.ImageList_small.Width();
        popped.largeList = form2.Menu.ImageList_Large.Width();
        popped.poolIconSize = form2.Shell.Icons.IconSize;
        popped.bannerWidth = menu.ScaledBarWidth();
        popped.bannerBuffer = menu.BarBuffer() ? menu.BarBuffer()->Width() : 0;
        popped.bannerHeight = menu.BarHeight();
        for (int i = 0; i < menu.Items.Count(); ++i)
            if (menu.Items.Items(i)->Visible && !menu.Items.Items(i)->IsLine())
                popped.captions.push_back(menu.Items.Items(i)->Caption);
        const TImageList& list = large ? form2.Menu.ImageList_Large : form2.Menu.ImageList_small;
        HICON entry = list.GetIcon(form2.Menu.Rows().at(0).ImageIndex);
        popped.entryIcon = IconPixels(entry);
        ::DestroyIcon(entry);
        const TMenuItem* desktop = form2.Menu.DesktopMenuItem;
        for (int i = 0; i < desktop->Count(); ++i)
            if (desktop->Items(i)->Caption == L"start.bat")
                popped.submenuIcon =
                    IconPixels(form2.Shell.PoolIcon(static_cast<int>(desktop->Items(i)->Tag)));
        return popped;
    }
};

TEST_F(LauncherMenuAt150Percent, ItemsBannerAndIconsAreSizedForTheScreen) {
    const Popped small = PopUp(false, L"hidpi_menu_small");
    const Popped large = PopUp(true, L"hidpi_menu_large");
    for (const Popped* popped : {&small, &large}) {
        EXPECT_EQ(144, popped->dpi);
        EXPECT_EQ(24, popped->smallList);
        EXPECT_EQ(48, popped->largeList);
        EXPECT_EQ(24, popped->poolIconSize);
        // The banner: 28 pixels at 100%, 42 here, painted but for a gap of 3 before the items.
        EXPECT_EQ(42, popped->bannerWidth);
        EXPECT_EQ(39, popped->bannerBuffer);
        // Submenus keep small icons: items of 19 pixels at 100% are 29 here, separators 12.
        ASSERT_GE(popped->desktop.heights.size(), 4u);
        EXPECT_EQ(29, popped->desktop.heights[0]);
        EXPECT_EQ(12, popped->desktop.heights[1]);
        for (size_t i = 2; i < popped->desktop.heights.size(); ++i)
            EXPECT_EQ(29, popped->desktop.heights[i]) << "submenu item " << i;
        EXPECT_EQ(24, popped->submenuIcon.cx);
        EXPECT_EQ(24, popped->submenuIcon.cy);
    }
    // Show desktop, separator, six folders, separator, the entry, separator, Settings,
    // separator, Exit Windows: items of 19 (small) or 33 (large) pixels at 100%.
    const int s = 29, l = 50, line = 12;
    EXPECT_EQ((std::vector<int>{s, line, s, s, s, s, s, s, line, s, line, s, line, s}),
              small.top.heights);
    EXPECT_EQ((std::vector<int>{l, line, l, l, l, l, l, l, line, l, line, l, line, l}),
              large.top.heights);
    EXPECT_EQ(10 * s + 4 * line, small.bannerHeight);
    EXPECT_EQ(10 * l + 4 * line, large.bannerHeight);
    EXPECT_EQ(24, small.entryIcon.cx);
    EXPECT_EQ(24, small.entryIcon.cy);
    EXPECT_EQ(48, large.entryIcon.cx);
    EXPECT_EQ(48, large.entryIcon.cy);

    for (const Popped* popped : {&small, &large}) {
        // Nothing clipped: every caption fits its item in the font the menu draws with, after
        // the banner and the icon's column.
        const int textLeft = 42 + (popped == &small ? 33 : 48 + 14);
        const int itemWidth = popped->top.widths.at(0);
        for (const std::wstring& caption : popped->captions) {
            const SIZE text = TextSize(caption);
            EXPECT_LE(textLeft + text.cx, itemWidth) << "caption";
            EXPECT_LE(text.cy, popped->top.heights.at(0)) << "caption";
        }
        // The banner in the picture: its gradient over the first 39 columns of the item area,
        // the menu's colour from there on.
        const Image& picture = popped->top.picture;
        const RECT& first = popped->top.firstItem;
        const int y = first.top + popped->top.heights.at(0) / 2;
        const COLORREF menuColour = ::GetSysColor(COLOR_MENU);
        EXPECT_NE(menuColour, picture.At(first.left + 38, y));
        EXPECT_EQ(menuColour, picture.At(first.left + 39, y));
        EXPECT_EQ(menuColour, picture.At(first.left + 41, y));
    }
}

// The icons follow the monitor the menu shows on: another DPI makes the lists, the entries'
// icons and the pool's icons again at its sizes, and back.
TEST(LauncherIconsPerMonitor, AnotherDpiMakesTheIconsAgainAtItsSizes) {
    ScratchKey key;
    StoreEntries(key, {{L"メモ帳", L"C:\\windows\\notepad.exe"}});
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    TLauncherMenu& menu = form2.Menu;
    const int images = menu.ImageList_small.Count();
    auto sizes = [&] {
        HICON small = menu.ImageList_small.GetIcon(menu.Rows().at(0).ImageIndex);
        HICON large = menu.ImageList_Large.GetIcon(menu.Rows().at(0).ImageIndex);
        const std::vector<int> seen{menu.ImageList_small.Width(), menu.ImageList_Large.Width(),
                                    IconPixels(small).cx,         IconPixels(large).cx,
                                    form2.Shell.Icons.IconSize,   menu.ImageList_small.Count(),
                                    menu.ImageList_Large.Count()};
        ::DestroyIcon(small);
        ::DestroyIcon(large);
        return seen;
    };
    EXPECT_EQ((std::vector<int>{24, 48, 24, 48, 24, images, images}), sizes());
    menu.UseIconsForDpi(96);
    EXPECT_EQ((std::vector<int>{16, 32, 16, 32, 16, images, images}), sizes());
    EXPECT_EQ(L"メモ帳", form2.PopupMenu2.Items.Items(kFirstEntryPosition)->Caption);
    menu.UseIconsForDpi(120);
    EXPECT_EQ((std::vector<int>{20, 40, 20, 40, 20, images, images}), sizes());
    menu.UseIconsForDpi(144);
    EXPECT_EQ((std::vector<int>{24, 48, 24, 48, 24, images, images}), sizes());
}

} // namespace
} // namespace tolvern
