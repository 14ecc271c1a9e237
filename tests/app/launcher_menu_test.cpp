// The launcher menu as a started settings form builds it: top-level layout, My Menu entries,
// folder entries opening as submenus, large icons.
#include "app/settings_form.h"
#include "app/tray_form.h"
#include "base/text.h"
#include "menu/shell_items.h"
#include "support/menu_driver.h"
#include "support/scratch_key.h"
#include "support/started_launcher.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tolvern {
namespace {

using test::MakeFile;
using test::MakeShortcut;
using test::MenuTexts;
using test::ScratchKey;
using Launcher = test::StartedLauncher;
using test::StoreEntries;
const std::wstring S = kSettingSection;
const std::wstring M = kMyMenuSection;

// A folder of the test's own under the prefix's temporary folder.
std::wstring MakeFolder(const std::wstring& name, std::initializer_list<const wchar_t*> files) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* file : files)
        MakeFile(folder + L"\\" + file);
    return folder;
}

std::vector<std::wstring> ChildCaptions(const TMenuItem& item, int from) {
    std::vector<std::wstring> captions;
    for (int i = from; i < item.Count(); ++i)
        captions.push_back(item.Items(i)->Caption);
    return captions;
}

TEST(LauncherMenu, WithoutEntriesTheTopLevelShowsThePlaceholder) {
    ScratchKey key;
    key.SetString(S, L"ViewRecentMenu", L"0");
    Launcher launcher(key);
    TLauncherMenu& menu = launcher.menu();
    // What the realised menu shows: hidden items are left out.
    const std::vector<std::wstring> expected = test::TopLevelTexts({L"最近使ったファイル(&D)"});
    HMENU root = menu.PopupMenu2.Realize();
    std::vector<std::wstring> shown = MenuTexts(root);
    for (std::wstring& text : shown)
        if (text == L"-")
            text.clear();
    EXPECT_EQ(expected, shown);
    EXPECT_TRUE(menu.mnuPopupShowDesktop->Default);
    EXPECT_FALSE(menu.mnuPopupNoItem->Enabled);
    EXPECT_EQ(menu.mnuPopupNoItem, menu.PopupMenu2.Items.Items(9));
    EXPECT_EQ(-1, menu.S2->Tag);
    EXPECT_EQ((std::vector<std::wstring>{L"設定(&S)...", L"ヘルプ(&H)", L"常駐終了(&X)", L"-",
                                         L"バージョン情報(&A)..."}),
              ChildCaptions(*menu.S2, 0));
    EXPECT_EQ((std::vector<int>{2, 6, 1, -1, 4}), [&] {
        std::vector<int> images;
        for (int i = 0; i < menu.S2->Count(); ++i)
            images.push_back(menu.S2->Items(i)->ImageIndex);
        return images;
    }());
    // The special-folder items: their own pool entries, open item and empty marker.
    for (TMenuItem* item : {menu.DesktopMenuItem, menu.ProgramMenuItem, menu.MyDocumentsMenuItem,
                            menu.FavoritesMenuItem, menu.HistoryMenuItem}) {
        ASSERT_EQ(3, item->Count()) << testing::PrintToString(item->Caption);
        EXPECT_EQ(item->Tag, item->Items(0)->Tag);
        EXPECT_EQ(L"(なし)", item->Items(2)->Caption);
        EXPECT_NE(nullptr, launcher.form2.ItemIdPool[static_cast<int>(item->Tag)]);
    }
    EXPECT_EQ(L"画面のプロパティ", menu.DesktopMenuItem->Items(0)->Caption);
    EXPECT_EQ(3, menu.DesktopMenuItem->Items(0)->ImageIndex);
    EXPECT_EQ(menu.mnuPopupShowDesktop->ImageIndex, menu.DesktopMenuItem->ImageIndex);
    EXPECT_GE(menu.mnuPopupShowDesktop->ImageIndex, 7) << "the desktop's own icon";
    EXPECT_FALSE(menu.RecentMenuItem->Visible);
}

TEST(LauncherMenu, EntriesFollowTheSpecialFoldersInStoredOrderWithLiteralAmpersands) {
    ScratchKey key;
    const std::wstring windows = GetWindowsDir();
    StoreEntries(key, {{L"メモ帳", windows + L"notepad.exe"},
                       {L"R&D", windows + L"regedit.exe"},
                       {L"Gone", L"C:\\no such folder\\nothing.txt"}});
    Launcher launcher(key);
    TLauncherMenu& menu = launcher.menu();
    TMenuItem& top = menu.PopupMenu2.Items;
    EXPECT_FALSE(menu.mnuPopupNoItem->Visible);
    ASSERT_EQ(17, top.Count());
    EXPECT_EQ(L"メモ帳", top.Items(10)->Caption);
    EXPECT_EQ(L"R&&D", top.Items(11)->Caption) << "shows one ampersand, forms no accelerator";
    EXPECT_EQ(L"Gone", top.Items(12)->Caption);
    EXPECT_EQ(menu.MenuItem1, top.Items(13));
    // Each entry's picture: its own icon in both lists, or the question mark without a path.
    EXPECT_GE(top.Items(10)->ImageIndex, 7);
    EXPECT_EQ(0, top.Items(12)->ImageIndex);
    EXPECT_EQ(0, top.Items(12)->Count()) << "a path that does not parse is a plain file item";
    EXPECT_EQ(nullptr, launcher.form2.ItemIdPool[static_cast<int>(top.Items(12)->Tag)]);
    ASSERT_EQ(3u, menu.Rows().size());
    EXPECT_EQ(L"R&D", menu.Rows()[1].Caption);
    EXPECT_EQ(top.Items(11)->ImageIndex, menu.Rows()[1].ImageIndex);

    // The list row at k and the menu item at 10 + k stay together when entries come again.
    launcher.form2.AddIconToList(L"Later", windows + L"notepad.exe");
    EXPECT_EQ(L"Later", top.Items(13)->Caption);
    EXPECT_EQ(L"Later", menu.Rows()[3].Caption);
}

TEST(LauncherMenu, AFolderEntryAndAShortcutToAFolderOpenAsSubmenusOfTheTarget) {
    ScratchKey key;
    key.SetString(S, L"DoNotViewUnassociatedItems", L"0");
    const std::wstring folder = MakeFolder(L"entryfolder", {L"one.bin", L"two.bin"});
    const std::wstring link = MakeFolder(L"links", {}) + L"\\to folder.lnk";
    MakeShortcut(link, folder);
    StoreEntries(key, {{L"Folder", folder}, {L"Link", link}});
    Launcher launcher(key);
    TMenuItem& top = launcher.menu().PopupMenu2.Items;
    for (int position : {10, 11}) {
        TMenuItem* entry = top.Items(position);
        ASSERT_EQ(3, entry->Count()) << "a folder entry starts with its header";
        std::wstring path;
        ASSERT_TRUE(GetPathFromPIDL(launcher.form2.ItemIdPool[static_cast<int>(entry->Tag)], path));
        EXPECT_TRUE(EqualsIgnoreCase(folder, path)) << "the link's item refers to its target";
        entry->OnClick(entry); // what the menu does when the submenu opens
        const std::vector<std::wstring> children = ChildCaptions(*entry, 3);
        ASSERT_EQ(2u, children.size());
        EXPECT_EQ(0u, children[0].find(L"one"));
        EXPECT_EQ(0u, children[1].find(L"two"));
        EXPECT_FALSE(entry->Items(2)->Visible);
    }
    EXPECT_NE(top.Items(10)->ImageIndex, top.Items(11)->ImageIndex)
        << "the shortcut keeps its own icon at the top level";
}

TEST(LauncherMenu, LargeIconsChangeTheTopLevelOnly) {
    ScratchKey key;
    key.SetString(S, L"LargeIcon", L"1");
    key.SetString(S, L"MenuBannerWidth", L"40");
    key.SetString(S, L"MenuDrawStyle", L"1");
    StoreEntries(key, {{L"メモ帳", GetWindowsDir() + L"notepad.exe"}});
    Launcher launcher(key);
    TLauncherMenu& menu = launcher.menu();
    TBarPopupMenu& popup = menu.PopupMenu2;
    EXPECT_EQ(&menu.ImageList_Large, popup.Images);
    EXPECT_EQ(32, popup.IconSize);
    EXPECT_EQ(40, popup.BarWidth);
    EXPECT_EQ(1, popup.DrawStyle);
    EXPECT_EQ(&menu.ImageList_small, menu.DesktopMenuItem->SubMenuImages);
    EXPECT_EQ(&menu.ImageList_small, menu.S2->SubMenuImages);
    EXPECT_EQ(menu.ImageList_small.Count(), menu.ImageList_Large.Count());
    const int image = popup.Items.Items(10)->ImageIndex;
    EXPECT_LT(image, menu.ImageList_Large.Count());

    // A top-level text item is 33 pixels high with 32-pixel icons, 19 with 16.
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    TCanvas canvas(dc.get());
    int width = 0, height = 0;
    popup.PreparePopup();
    popup.BarMeasureItem(popup.Items.Items(10), canvas, width, height);
    EXPECT_EQ(33, height);
    launcher.form2.SetLargeIcon(false);
    EXPECT_EQ(&menu.ImageList_small, popup.Images);
    popup.PreparePopup();
    popup.BarMeasureItem(popup.Items.Items(10), canvas, width, height);
    EXPECT_EQ(19, height);
}

TEST(LauncherMenu, ThePopupTakesTheBannerFromTheSettings) {
    ScratchKey key;
    key.SetString(S, L"BannerText", L"ランチャー");
    key.SetString(S, L"UpperColor", L"255");
    key.SetString(S, L"BottomColor", L"-2147483624");
    key.SetString(S, L"BannerFontName", L"Tahoma");
    key.SetString(S, L"BannerFontHeight", L"-24");
    key.SetString(S, L"BannerFontStyle", L"5");
    Launcher launcher(key);
    TLauncherMenu& menu = launcher.menu();
    menu.PopupMenu2Popup();
    EXPECT_EQ(L"ランチャー", menu.PopupMenu2.VerticalText);
    EXPECT_EQ(255, menu.PopupMenu2.GradientStart);
    EXPECT_EQ(SystemColor(COLOR_INFOBK), menu.PopupMenu2.GradientEnd);
    EXPECT_EQ(L"Tahoma", menu.PopupMenu2.VerticalFont.Name);
    EXPECT_EQ(-24, menu.PopupMenu2.VerticalFont.Height);
    EXPECT_EQ(fsBold | fsUnderline, menu.PopupMenu2.VerticalFont.Style);
    EXPECT_EQ(L"デスクトップの表示(&V)", menu.mnuPopupShowDesktop->Caption);
    menu.DesktopShown = true;
    menu.PopupMenu2Popup();
    EXPECT_EQ(L"ウィンドウの復元(&R)", menu.mnuPopupShowDesktop->Caption);
}

TEST(LauncherMenu, HidingArrowsAgainMakesTheEntriesAndEmptiesTheSpecialFolders) {
    ScratchKey key;
    StoreEntries(key, {{L"a", GetWindowsDir() + L"notepad.exe"}, {L"b", GetWindowsDir()}});
    Launcher launcher(key);
    TLauncherMenu& menu = launcher.menu();
    menu.PopupMenu_DesktopClick(menu.DesktopMenuItem);
    const int images = menu.ImageList_small.Count();
    launcher.form2.SetHideArrow(false);
    EXPECT_EQ(3, menu.DesktopMenuItem->Count());
    ASSERT_EQ(2u, menu.Rows().size());
    EXPECT_EQ(L"a", menu.PopupMenu2.Items.Items(10)->Caption);
    EXPECT_EQ(L"b", menu.PopupMenu2.Items.Items(11)->Caption);
    EXPECT_EQ(images + 2, menu.ImageList_small.Count()) << "each entry's icon is taken anew";
    EXPECT_EQ(menu.ImageList_small.Count(), menu.ImageList_Large.Count());
}

} // namespace
} // namespace tolvern

namespace tolvern {
namespace {

// Wine's shell has every special folder; taking one away goes through the menu's seam.
auto Without(int missing) {
    return [missing](int csidl, PIDLIST_ABSOLUTE* pidl) -> HRESULT {
        return csidl == missing ? E_FAIL : ::SHGetSpecialFolderLocation(nullptr, csidl, pidl);
    };
}

TEST(LauncherMenuSpecialFolders, AMissingOptionalFolderStaysHiddenWhateverTheOption) {
    LauncherSettings settings;
    TLauncherShell shell(settings);
    TLauncherMenu menu(nullptr, shell, settings);
    menu.SpecialFolderLocation = Without(CSIDL_FAVORITES);
    menu.PreparePIDLs();
    menu.PrepareTopLevelMenu();
    EXPECT_TRUE(menu.FavoritesUnavailable);
    EXPECT_FALSE(menu.FavoritesMenuItem->Visible);
    EXPECT_EQ(0, menu.FavoritesMenuItem->Tag);
    EXPECT_FALSE(menu.FavoritesMenuItem->OnClick);
    EXPECT_EQ(L"お気に入り", menu.FavoritesMenuItem->Items(0)->Caption);
    const int poolSize = shell.ItemIdPool.Count();
    menu.SetSpecialMenuVisible(menu.FavoritesMenuItem, true);
    EXPECT_FALSE(menu.FavoritesMenuItem->Visible) << "an item without a folder never shows";
    menu.SetSpecialMenuVisible(menu.HistoryMenuItem, false);
    EXPECT_FALSE(menu.HistoryMenuItem->Visible);
    menu.SetSpecialMenuVisible(menu.HistoryMenuItem, true);
    EXPECT_TRUE(menu.HistoryMenuItem->Visible);
    EXPECT_EQ(poolSize, shell.ItemIdPool.Count());
    shell.EmptyPools();
    menu.ReleaseSpecialPIDLs();
}

TEST(LauncherMenuSpecialFolders, AMandatoryFolderThatIsMissingIsAnError) {
    LauncherSettings settings;
    TLauncherShell shell(settings);
    TLauncherMenu menu(nullptr, shell, settings);
    menu.SpecialFolderLocation = Without(CSIDL_BITBUCKET);
    EXPECT_THROW(menu.PreparePIDLs(), std::runtime_error);
}

} // namespace
} // namespace tolvern
