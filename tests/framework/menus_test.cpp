// The popup menu's realisation of the item tree as HMENUs, its default owner-drawn look, and a
// real popup driven from a second thread.
#include "framework/menus.h"

#include "framework/canvas.h"
#include "framework/image_list.h"

#include "support/foreign_window.h"
#include "support/menu_driver.h"
#include "support/user_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tolvern {
namespace {

std::unique_ptr<TMenuItem> Item(const std::wstring& caption) {
    return std::make_unique<TMenuItem>(caption);
}

UINT TypeOf(HMENU menu, int pos) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii);
    return mii.fType;
}

void OpenSubMenu(TPopupMenu& menu, HMENU sub) {
    ::SendMessageW(menu.WindowHandle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), 0);
}

TEST(PopupMenuRealisation, HiddenItemsAreLeftOutAndComeBackWhenShown) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    menu.Items.Add(Item(L"One(&O)"));
    TMenuItem* two = menu.Items.Add(Item(L"Two(&T)"));
    menu.Items.Add(Item(L"-"));
    TMenuItem* folder = menu.Items.Add(Item(L"Folder(&F)"));
    folder->Add(Item(L"a"));
    TMenuItem* b = folder->Add(Item(L"b"));
    folder->Add(Item(L"c"));

    two->Visible = false;
    b->Visible = false;
    HMENU root = menu.Realize();
    EXPECT_EQ((std::vector<std::wstring>{L"One(&O)", L"", L"Folder(&F)"}), test::MenuTexts(root));
    EXPECT_TRUE(TypeOf(root, 0) & MFT_OWNERDRAW);
    EXPECT_TRUE(TypeOf(root, 1) & MFT_SEPARATOR);
    HMENU sub = menu.SubMenuOf(folder);
    ASSERT_NE(nullptr, sub);
    OpenSubMenu(menu, sub);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"c"}), test::MenuTexts(sub));

    b->Visible = true;
    OpenSubMenu(menu, sub);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), test::MenuTexts(sub));
    two->Visible = true;
    root = menu.Realize();
    EXPECT_EQ((std::vector<std::wstring>{L"One(&O)", L"Two(&T)", L"", L"Folder(&F)"}),
              test::MenuTexts(root));
}

TEST(PopupMenuRealisation, BreakStartsANewColumnAndStatesAreCarried) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    menu.Items.Add(Item(L"a"));
    TMenuItem* b = menu.Items.Add(Item(L"b"));
    TMenuItem* c = menu.Items.Add(Item(L"c"));
    TMenuItem* d = menu.Items.Add(Item(L"d"));
    b->Break = true;
    c->Enabled = false;
    d->Default = true;
    HMENU root = menu.Realize();
    EXPECT_FALSE(TypeOf(root, 0) & MFT_MENUBARBREAK);
    EXPECT_TRUE(TypeOf(root, 1) & MFT_MENUBARBREAK);
    EXPECT_TRUE(::GetMenuState(root, 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(3u, ::GetMenuDefaultItem(root, TRUE, 0));
}

TEST(PopupMenuRealisation, OpeningASubmenuRunsTheOwnersClickFirst) {
    TPopupMenu menu;
    TMenuItem* folder = menu.Items.Add(Item(L"Folder"));
    folder->Add(Item(L"placeholder"));
    int clicks = 0;
    folder->OnClick = [&](TMenuItem* sender) {
        ++clicks;
        sender->Clear();
        sender->Add(Item(L"read " + std::to_wstring(clicks)));
    };
    menu.Realize();
    HMENU sub = menu.SubMenuOf(folder);
    OpenSubMenu(menu, sub);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ((std::vector<std::wstring>{L"read 1"}), test::MenuTexts(sub));
    OpenSubMenu(menu, sub);
    EXPECT_EQ((std::vector<std::wstring>{L"read 2"}), test::MenuTexts(sub));
}

TEST(PopupMenuRealisation, AnItemReplacedWhileItsSubmenuOpensShowsTheNewChildren) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    menu.Items.Add(Item(L"first"));
    TMenuItem* folder = menu.Items.Add(Item(L"Old"));
    folder->Add(Item(L"old child"));
    TMenuItem* grand = folder->Add(Item(L"old folder"));
    grand->Add(Item(L"deep"));
    TMenuItem* replacement = nullptr;
    folder->OnClick = [&](TMenuItem* sender) {
        TMenuItem* parent = sender->Parent();
        const int index = sender->MenuIndex();
        parent->Delete(index); // frees the item whose handler this is
        auto fresh = Item(L"New");
        fresh->Add(Item(L"new 1"));
        fresh->Add(Item(L"new 2"));
        replacement = parent->Insert(index, std::move(fresh));
    };
    HMENU root = menu.Realize();
    HMENU sub = menu.SubMenuOf(folder);
    OpenSubMenu(menu, sub); // the old tree's deep submenu is not open: fill it first
    // The first opening replaced the item; the submenu shows the replacement's children.
    ASSERT_NE(nullptr, replacement);
    EXPECT_EQ((std::vector<std::wstring>{L"new 1", L"new 2"}), test::MenuTexts(sub));
    EXPECT_EQ(sub, menu.SubMenuOf(replacement));
    EXPECT_EQ(L"New", test::MenuTexts(root)[1]);
    // Drawing and measuring the owner item now reach the new item, never the freed one.
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID;
    ::GetMenuItemInfoW(root, 1, TRUE, &mii);
    EXPECT_EQ(replacement, menu.ItemOfCommand(mii.wID));
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = mii.wID;
    ::SendMessageW(menu.WindowHandle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(19u, mis.itemHeight);
}

TEST(PopupMenuRealisation, CommandIdentifiersAreReusedAsItemsComeAndGo) {
    TPopupMenu menu;
    TMenuItem* folder = menu.Items.Add(Item(L"Folder"));
    folder->Add(Item(L"x"));
    folder->OnClick = [](TMenuItem* sender) {
        sender->Clear();
        for (int i = 0; i < 1000; ++i) {
            auto child = Item(L"child " + std::to_wstring(i));
            if (i % 100 == 0)
                child->Add(Item(L"grandchild"));
            sender->Add(std::move(child));
        }
    };
    menu.Realize();
    HMENU sub = menu.SubMenuOf(folder);
    for (int round = 0; round < 100; ++round) // 100,000 items come and go
        OpenSubMenu(menu, sub);
    EXPECT_EQ(1000, ::GetMenuItemCount(sub));
    EXPECT_EQ(1001u, menu.CommandsInUse());
    EXPECT_LE(menu.HighestCommand(), 2001u);
}

TEST(PopupMenuRealisation, SubmenusShownTogetherStopAtTheLastIdentifierAndAClosedOneGivesItsBack) {
    // 70,000 items in submenus of 1,000 (Wine appends to one HMENU in quadratic time).
    constexpr int kFolders = 70, kEach = 1000;
    TPopupMenu menu;
    std::vector<TMenuItem*> folders;
    for (int f = 0; f < kFolders; ++f) {
        folders.push_back(menu.Items.Add(Item(L"Folder")));
        for (int i = 0; i < kEach; ++i)
            folders.back()->Add(Item(L"x"));
    }
    menu.Realize();
    std::vector<int> shown, expected;
    int left = static_cast<int>(TPopupMenu::kLastCommand) - kFolders;
    for (TMenuItem* folder : folders) {
        OpenSubMenu(menu, menu.SubMenuOf(folder)); // none closes
        shown.push_back(::GetMenuItemCount(menu.SubMenuOf(folder)));
        expected.push_back(std::min(left, kEach));
        left -= expected.back();
    }
    EXPECT_EQ(expected, shown);
    EXPECT_EQ(TPopupMenu::kLastCommand, menu.HighestCommand());

    // The first closes; the last opens again and now has room.
    ::SendMessageW(menu.WindowHandle(), WM_UNINITMENUPOPUP,
                   reinterpret_cast<WPARAM>(menu.SubMenuOf(folders.front())), 0);
    OpenSubMenu(menu, menu.SubMenuOf(folders.back()));
    EXPECT_EQ(0, ::GetMenuItemCount(menu.SubMenuOf(folders.front())));
    EXPECT_EQ(kEach, ::GetMenuItemCount(menu.SubMenuOf(folders.back())));
    EXPECT_EQ(folders[1], menu.ItemOfCommand(2)) << "the top level keeps its items";
}

TEST(PopupMenuRealisation, MenuCharChoosesTheItemWithTheAccelerator) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    menu.Items.Add(Item(L"デスクトップの表示(&V)"));
    menu.Items.Add(Item(L"-"));
    menu.Items.Add(Item(L"プログラム(&P)"));
    menu.Items.Add(Item(L"A && B"));
    menu.Items.Add(Item(L"設定(&S)"));
    menu.Items.Add(Item(L"常駐終了(&X)"));
    menu.Items.Add(Item(L"Explorer(&X)"));
    HMENU root = menu.Realize();
    auto menuChar = [&](wchar_t ch) {
        return static_cast<DWORD>(::SendMessageW(menu.WindowHandle(), WM_MENUCHAR,
                                                 MAKEWPARAM(ch, MF_POPUP),
                                                 reinterpret_cast<LPARAM>(root)));
    };
    EXPECT_EQ(static_cast<DWORD>(MAKELRESULT(4, MNC_EXECUTE)), menuChar(L's'));
    EXPECT_EQ(static_cast<DWORD>(MAKELRESULT(2, MNC_EXECUTE)), menuChar(L'P'));
    EXPECT_EQ(static_cast<DWORD>(MAKELRESULT(0, MNC_IGNORE)), menuChar(L'B'));
    EXPECT_EQ(static_cast<DWORD>(MAKELRESULT(5, MNC_SELECT)), menuChar(L'x'));
    EXPECT_EQ(L'V', GetHotkeyChar(L"デスクトップの表示(&V)"));
    EXPECT_EQ(0, GetHotkeyChar(L"A && B"));
}

TEST(PopupMenuRealisation, TypedTextSelectsTheNextItemItStartsAfterASecondsPauseOrGoesOn) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    for (const wchar_t* caption : {L"words", L"-", L"alpha", L"beta", L"Bravo", L"A&&B", L"ベータ",
                                   L"file12000", L"file12", L"設定(&S)", L"search"})
        menu.Items.Add(Item(caption));
    HMENU root = menu.Realize();
    auto type = [&](const std::wstring& text) {
        DWORD result = 0;
        for (wchar_t ch : text)
            result = static_cast<DWORD>(::SendMessageW(menu.WindowHandle(), WM_MENUCHAR,
                                                       MAKEWPARAM(ch, MF_POPUP),
                                                       reinterpret_cast<LPARAM>(root)));
        return result;
    };
    // The system's selection, as the menu loop keeps it.
    auto select = [&](int position) {
        for (int pos = 0; pos < ::GetMenuItemCount(root); ++pos) {
            MENUITEMINFOW mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_STATE;
            mii.fState = pos == position ? MFS_HILITE : 0;
            ::SetMenuItemInfoW(root, static_cast<UINT>(pos), TRUE, &mii);
        }
    };
    auto pause = [] { ::Sleep(1100); };
    auto selects = [](int position) {
        return static_cast<DWORD>(MAKELRESULT(position, MNC_SELECT));
    };
    const DWORD nothing = MAKELRESULT(0, MNC_IGNORE);

    EXPECT_EQ(selects(3), type(L"b"));
    EXPECT_EQ(selects(4), type(L"R")) << "br: the next that starts so, whatever the case";
    EXPECT_EQ(selects(4), type(L"av")) << "a longer text keeps the item while it matches";
    pause();
    select(3);
    EXPECT_EQ(selects(4), type(L"b")) << "after a pause, the one after the selected beta";
    pause();
    select(4);
    EXPECT_EQ(selects(3), type(L"b")) << "wrapping round";
    pause();
    EXPECT_EQ(selects(6), type(L"ベ")) << "any letter the system hands over";
    pause();
    select(-1);
    EXPECT_EQ(selects(7), type(L"file12")) << "the first such name";
    pause();
    EXPECT_EQ(selects(5), type(L"a&")) << "an ampersand as the item shows it";
    pause();
    EXPECT_EQ(nothing, type(L"q"));
    // An accelerator keeps its meaning, and its letter starts no text ("se" would find search).
    EXPECT_EQ(static_cast<DWORD>(MAKELRESULT(9, MNC_EXECUTE)), type(L"s"));
    EXPECT_EQ(nothing, type(L"e"));
}

// --- default owner-drawn look ------------------------------------------------------------

struct MemoryCanvas {
    explicit MemoryCanvas(int w, int h) { bitmap.SetSize(w, h); }
    TBitmap bitmap;
    COLORREF Pixel(int x, int y) { return ::GetPixel(bitmap.Canvas().Handle(), x, y) & 0xFFFFFF; }
};

TEST(PopupMenuDefaultLook, MeasuresSeparatorsAndTextItemsWithASixteenPixelList) {
    TImageList images(16, 16);
    TPopupMenu menu;
    menu.OwnerDraw = true;
    menu.Images = &images;
    TMenuItem* sep = menu.Items.Add(Item(L"-"));
    TMenuItem* text = menu.Items.Add(Item(L"(なし)"));
    MemoryCanvas mc(10, 10);
    TCanvas& canvas = mc.bitmap.Canvas();
    canvas.Font.AssignLogFont(MenuLogFont());
    int w = 0, h = 0;
    menu.DefaultMeasureItem(sep, canvas, w, h);
    EXPECT_EQ(8, h);
    menu.DefaultMeasureItem(text, canvas, w, h);
    EXPECT_EQ(19, h);
    RECT r{0, 0, 0, 0};
    canvas.DrawText(L"(なし)", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(16 + 15 + r.right + 7, w);
}

TEST(PopupMenuDefaultLook, SeparatorIsAnEtchedLineAndDisabledTextIsGrey) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    TMenuItem* sep = menu.Items.Add(Item(L"-"));
    TMenuItem* none = menu.Items.Add(Item(L"(なし) XXXX"));
    none->Enabled = false;
    MemoryCanvas mc(120, 30);
    TCanvas& canvas = mc.bitmap.Canvas();
    const RECT sepRect{0, 0, 120, 8};
    canvas.Brush.Color = clMenu;
    menu.DefaultDrawItem(sep, canvas, sepRect, 0);
    // The etched line: shadow above highlight across the item, menu colour elsewhere.
    EXPECT_EQ(ColorToRGB(clBtnShadow), mc.Pixel(50, 3));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), mc.Pixel(50, 4));
    EXPECT_EQ(ColorToRGB(clMenu), mc.Pixel(50, 1));
    EXPECT_EQ(ColorToRGB(clMenu), mc.Pixel(50, 6));

    const RECT textRect{0, 8, 120, 27};
    canvas.Font.AssignLogFont(MenuLogFont());
    canvas.Font.Color = clMenuText;
    canvas.Brush.Color = clMenu;
    menu.DefaultDrawItem(none, canvas, textRect, ODS_DISABLED | ODS_GRAYED);
    int grey = 0, other = 0;
    for (int y = 8; y < 27; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF c = mc.Pixel(x, y);
            if (c == ColorToRGB(clGrayText))
                ++grey;
            else if (c != ColorToRGB(clMenu))
                ++other;
        }
    EXPECT_GT(grey, 20);
    EXPECT_EQ(0, other);
}

// --- a real popup ----------------------------------------------------------------------------

// Waits for the system's menu window and presses keys in it from a second thread.
class MenuDriver {
public:
    explicit MenuDriver(std::vector<UINT> keys) : keys_(std::move(keys)) {
        thread_ = std::thread([this] { Run(); });
    }
    ~MenuDriver() { thread_.join(); }
    bool sawMenu = false;

private:
    static void Key(HWND menu, UINT vk) {
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
        ::PostMessageW(menu, WM_KEYDOWN, vk, scan | 1);
        ::Sleep(20);
        ::PostMessageW(menu, WM_KEYUP, vk, scan | 1 | (3u << 30));
        ::Sleep(20);
    }
    void Run() {
        HWND window = nullptr;
        for (int i = 0; i < 500 && !window; ++i) {
            window = ::FindWindowW(L"#32768", nullptr);
            if (window && !::IsWindowVisible(window))
                window = nullptr;
            if (!window)
                ::Sleep(10);
        }
        if (!window)
            return;
        sawMenu = true;
        ::Sleep(200);
        for (UINT vk : keys_)
            Key(window, vk);
        // Make sure a failing test does not leave the menu open for ever.
        for (int i = 0; i < 200 && ::IsWindow(window) && ::IsWindowVisible(window); ++i)
            ::Sleep(10);
        if (::IsWindow(window) && ::IsWindowVisible(window))
            for (int i = 0; i < 5; ++i)
                Key(window, VK_ESCAPE);
    }
    std::vector<UINT> keys_;
    std::thread thread_;
};

bool MenuWindowVisible() {
    HWND w = ::FindWindowW(L"#32768", nullptr);
    return w && ::IsWindowVisible(w);
}

TEST(PopupMenuTracking, ALetterChoosesTheItemAndItsClickRunsOnceAfterTheMenuClosed) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    int popups = 0, aClicks = 0, sClicks = 0;
    bool closedWhenClicked = false;
    menu.OnPopup = [&](TPopupMenu*) { ++popups; };
    menu.Items.Add(Item(L"デスクトップの表示(&V)"))->OnClick = [&](TMenuItem*) { ++aClicks; };
    menu.Items.Add(Item(L"-"));
    menu.Items.Add(Item(L"設定(&S)"))->OnClick = [&](TMenuItem*) {
        ++sClicks;
        closedWhenClicked = !menu.Tracking() && !MenuWindowVisible() && !menu.Handle();
    };
    {
        MenuDriver driver({'S'});
        menu.Popup(100, 100);
        EXPECT_EQ(1, sClicks); // before Popup returned
        EXPECT_TRUE(driver.sawMenu);
    }
    EXPECT_EQ(1, popups);
    EXPECT_EQ(1, sClicks);
    EXPECT_EQ(0, aClicks);
    EXPECT_TRUE(closedWhenClicked);
}

TEST(PopupMenuTracking, ASubmenuOpensThroughItsOwnersClickAndAnItemInItIsChosen) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    TMenuItem* folder = menu.Items.Add(Item(L"フォルダ(&F)"));
    folder->Add(Item(L"placeholder"));
    int chosen = 0;
    folder->OnClick = [&](TMenuItem* sender) {
        // Replace the item itself while its submenu opens.
        TMenuItem* parent = sender->Parent();
        const int index = sender->MenuIndex();
        parent->Delete(index);
        auto fresh = Item(L"フォルダ(&F)");
        fresh->Add(Item(L"first(&1)"));
        fresh->Add(Item(L"second(&2)"))->OnClick = [&](TMenuItem*) { ++chosen; };
        parent->Insert(index, std::move(fresh));
    };
    {
        MenuDriver driver({'F', '2'});
        menu.Popup(100, 100);
    }
    EXPECT_EQ(1, chosen);
}

// What a submenu showed: its window, its height limit, its column breaks, and whether End
// selected its last item and Home then its first.
struct SubmenuSeen {
    RECT window{};
    UINT maxHeight = 0;
    int breaks = -1;
    bool endSelectsLast = false;
    bool homeSelectsFirst = false;
};

// Pops the menu up at (100, 100), opens a submenu with its key and, once it shows, runs `inside`
// with its window on a second thread; closes every menu afterwards.
void InSubmenu(TPopupMenu& menu, UINT key, const std::function<void(HWND submenu)>& inside) {
    std::thread driver([&] {
        HWND top = test::WaitForMenuWindow();
        if (!top)
            return;
        ::Sleep(200);
        test::Key(top, key);
        if (HWND sub = test::WaitForMenuWindow({top})) {
            ::Sleep(300);
            inside(sub);
        }
        ::Sleep(300);
        test::CloseAllMenus();
    });
    menu.Popup(100, 100);
    driver.join();
}

SubmenuSeen OpenAndLook(TPopupMenu& menu, UINT key, const TMenuItem* folder) {
    SubmenuSeen seen;
    InSubmenu(menu, key, [&](HWND sub) {
        HMENU shown = menu.SubMenuOf(folder);
        ::GetWindowRect(sub, &seen.window);
        MENUINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIM_MAXHEIGHT;
        ::GetMenuInfo(shown, &info);
        seen.maxHeight = info.cyMax;
        seen.breaks = 0;
        for (int pos = 0; pos < ::GetMenuItemCount(shown); ++pos)
            seen.breaks += (TypeOf(shown, pos) & MFT_MENUBARBREAK) ? 1 : 0;
        test::Key(sub, VK_END);
        ::Sleep(300);
        seen.endSelectsLast = test::Highlighted(shown, ::GetMenuItemCount(shown) - 1);
        test::Key(sub, VK_HOME);
        ::Sleep(300);
        seen.homeSelectsFirst = test::Highlighted(shown, 0);
    });
    return seen;
}

TEST(PopupMenuTracking, ColumnsThatFitBesideTheMenuStayAndWiderOnesScrollAsOneColumn) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    auto folder = [&](const std::wstring& caption, int count) {
        TMenuItem* owner = menu.Items.Add(Item(caption));
        for (int i = 0; i < count; ++i)
            owner->Add(Item(L"item " + std::to_wstring(i)))->Break = i > 0 && i % 36 == 0;
        return owner;
    };
    TMenuItem* two = folder(L"Two(&T)", 60);     // two columns, taller than the work area
    TMenuItem* many = folder(L"Many(&M)", 2000); // 56 columns
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const UINT workHeight = static_cast<UINT>(work.bottom - work.top);
    auto within = [&](const RECT& r) {
        return r.left >= work.left && r.top >= work.top && r.right <= work.right &&
               r.bottom <= work.bottom;
    };

    const SubmenuSeen columns = OpenAndLook(menu, 'T', two);
    EXPECT_EQ(1, columns.breaks);
    EXPECT_EQ(0u, columns.maxHeight);
    EXPECT_TRUE(within(columns.window));
    EXPECT_TRUE(columns.endSelectsLast);

    const SubmenuSeen scrolled = OpenAndLook(menu, 'M', many);
    EXPECT_EQ(0, scrolled.breaks);
    EXPECT_EQ(workHeight, scrolled.maxHeight);
    EXPECT_TRUE(within(scrolled.window));
    EXPECT_EQ(static_cast<LONG>(workHeight), scrolled.window.bottom - scrolled.window.top);
    EXPECT_LT(scrolled.window.right - scrolled.window.left,
              columns.window.right - columns.window.left);
    EXPECT_TRUE(scrolled.endSelectsLast);
    EXPECT_TRUE(scrolled.homeSelectsFirst);

    // Asked to, a submenu taller than the work area scrolls although its columns would fit; the
    // next opening without being asked shows the columns again.
    menu.ScrollTallSubmenus = true;
    const SubmenuSeen tall = OpenAndLook(menu, 'T', two);
    EXPECT_EQ(0, tall.breaks);
    EXPECT_EQ(workHeight, tall.maxHeight);
    EXPECT_EQ(static_cast<LONG>(workHeight), tall.window.bottom - tall.window.top);
    EXPECT_TRUE(tall.endSelectsLast);
    menu.ScrollTallSubmenus = false;
    const SubmenuSeen again = OpenAndLook(menu, 'T', two);
    EXPECT_EQ(1, again.breaks);
    EXPECT_EQ(0u, again.maxHeight);
}

// The item a typed text selected in a real submenu (its position, -1 for none), then Enter.
int TypeAndChoose(TPopupMenu& menu, UINT folderKey, const TMenuItem* folder,
                  const std::wstring& text) {
    int selected = -1;
    InSubmenu(menu, folderKey, [&](HWND sub) {
        for (wchar_t ch : text)
            test::Key(sub, static_cast<UINT>(std::towupper(ch))); // the key's code
        ::Sleep(300);
        HMENU shown = menu.SubMenuOf(folder);
        for (int pos = 0; pos < ::GetMenuItemCount(shown); ++pos)
            if (test::Highlighted(shown, pos))
                selected = pos;
        test::Key(sub, VK_RETURN);
    });
    return selected;
}

TEST(PopupMenuTracking, TypedTextSelectsAnItemAlsoOutOfSightAndEnterChoosesIt) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    std::vector<std::wstring> chosen;
    auto add = [&](TMenuItem* parent, const std::wstring& caption) {
        TMenuItem* item = parent->Add(Item(caption));
        item->OnClick = [&chosen](TMenuItem* sender) { chosen.push_back(sender->Caption); };
        return item;
    };
    TMenuItem* words = menu.Items.Add(Item(L"Words(&W)"));
    for (const wchar_t* caption : {L"alpha", L"beta", L"bravo"})
        add(words, caption);
    TMenuItem* many = menu.Items.Add(Item(L"Many(&M)")); // scrolls: 56 columns do not fit
    for (int i = 0; i < 2000; ++i)
        add(many, L"item" + std::to_wstring(i))->Break = i > 0 && i % 36 == 0;

    EXPECT_EQ(2, TypeAndChoose(menu, 'W', words, L"br"));
    EXPECT_EQ(1999, TypeAndChoose(menu, 'M', many, L"item1999"));
    EXPECT_EQ((std::vector<std::wstring>{L"bravo", L"item1999"}), chosen);
}

// Items the menu's thread repaints when its timer next fires (a test's driver thread must not
// touch the menu itself).
struct RepaintRequest {
    TPopupMenu* menu = nullptr;
    std::mutex mutex;
    std::vector<const TMenuItem*> items;
    bool served = true;
    static RepaintRequest& Current() {
        static RepaintRequest request;
        return request;
    }
    static void CALLBACK Serve(HWND, UINT, UINT_PTR, DWORD) {
        RepaintRequest& r = Current();
        std::lock_guard<std::mutex> lock(r.mutex);
        if (!r.served && r.menu)
            r.menu->RepaintItems(r.items);
        r.served = true;
    }
    void Ask(std::vector<const TMenuItem*> wanted) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            items = std::move(wanted);
            served = false;
        }
        for (int i = 0; i < 200; ++i) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (served)
                    break;
            }
            ::Sleep(10);
        }
        ::Sleep(500); // what it painted
    }
};

TEST(PopupMenuTracking, ItemsRepaintWhereTheyShowAndNotWhereTheyWereBeforeTheMenuScrolled) {
    TPopupMenu menu;
    menu.OwnerDraw = true;
    std::mutex mutex;
    std::map<std::wstring, int> draws;                   // by caption
    TMenuItem* many = menu.Items.Add(Item(L"Many(&M)")); // scrolls: 56 columns do not fit
    std::vector<const TMenuItem*> items;
    for (int i = 0; i < 2000; ++i) {
        TMenuItem* item = many->Add(Item(L"item" + std::to_wstring(i)));
        item->Break = i > 0 && i % 36 == 0;
        item->OnDrawItem = [&](TMenuItem* sender, TCanvas& canvas, const RECT& rect, bool) {
            canvas.FillRect(rect);
            std::lock_guard<std::mutex> lock(mutex);
            ++draws[sender->Caption];
        };
        items.push_back(item);
    }
    auto painted = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return draws;
    };
    RepaintRequest& request = RepaintRequest::Current();
    request.menu = &menu;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, RepaintRequest::Serve);
    std::map<std::wstring, int> atEnd, afterFirst, afterLast;
    InSubmenu(menu, 'M', [&](HWND sub) {
        test::Key(sub, VK_END);
        ::Sleep(800);
        atEnd = painted();
        request.Ask({items.front()}); // scrolled out of sight
        afterFirst = painted();
        request.Ask({items.back()});
        afterLast = painted();
    });
    ::KillTimer(nullptr, timer);
    request.menu = nullptr;

    EXPECT_EQ(1u, atEnd.count(L"item0")) << "the first item was painted before the End key";
    EXPECT_EQ(atEnd, afterFirst) << "nothing painted for an item out of sight";
    std::map<std::wstring, int> once = afterFirst;
    ++once[L"item1999"];
    EXPECT_EQ(once, afterLast) << "the last item painted once more, and nothing else";
}

// A window of the program that is active keeps the foreground through a menu, also while a
// chosen command runs (a dialog must not be left inactive); over another program's window the
// menu takes the foreground while it shows and gives it back.
TEST(PopupMenuTracking, TheWindowInTheForegroundKeepsItOrGetsItBack) {
    TPopupMenu menu;
    HWND foregroundInCommand = nullptr;
    menu.Items.Add(Item(L"選択(&A)"))->OnClick = [&](TMenuItem*) {
        foregroundInCommand = ::GetForegroundWindow();
    };
    HWND own = ::CreateWindowExW(0, L"STATIC", L"own", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(own);
    ASSERT_EQ(own, ::GetForegroundWindow());
    {
        MenuDriver driver({VK_ESCAPE});
        menu.Popup(100, 100);
        EXPECT_TRUE(driver.sawMenu);
    }
    EXPECT_EQ(own, ::GetForegroundWindow());
    EXPECT_EQ(own, ::GetActiveWindow());
    {
        MenuDriver driver({'A'});
        menu.Popup(100, 100);
    }
    EXPECT_EQ(own, foregroundInCommand);
    EXPECT_EQ(own, ::GetForegroundWindow());
    ::DestroyWindow(own);

    test::ForeignWindow other;
    ::SetForegroundWindow(other.Handle());
    ASSERT_TRUE(test::ForegroundBecomes(other.Handle()));
    {
        MenuDriver driver({VK_ESCAPE});
        menu.Popup(100, 100);
        EXPECT_TRUE(driver.sawMenu);
    }
    EXPECT_TRUE(test::ForegroundBecomes(other.Handle()));
}

// A menu opened by a press of a button (the right one on a tray icon) is tracked while that
// button is down: released over an item it chooses nothing and the menu stays open; a click of
// the same button then chooses as any click does.
TEST(PopupMenuTracking, TheReleaseOfTheButtonThatOpenedTheMenuChoosesNothing) {
    for (const bool right : {true, false}) {
        SCOPED_TRACE(right ? "right" : "left");
        TPopupMenu menu;
        std::atomic<int> chosen{0};
        menu.Items.Add(Item(L"デスクトップの表示(&V)"))->OnClick = [&](TMenuItem*) { ++chosen; };
        menu.Items.Add(Item(L"設定(&S)"));
        test::MouseButtonAt({100, 100}, right, true); // the press that opens the menu
        std::atomic<bool> openAfterRelease{false};
        std::atomic<int> chosenAfterRelease{-1};
        std::thread driver([&] {
            HWND window = test::WaitForMenuWindow();
            if (!window)
                return;
            RECT item{};
            ::GetMenuItemRect(window, menu.Handle(), 0, &item);
            const POINT first{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
            test::MouseButtonAt(first, right, false);
            ::Sleep(500);
            openAfterRelease = ::IsWindowVisible(window) != FALSE;
            chosenAfterRelease = chosen.load();
            test::ClickAt(first, right);
            ::Sleep(300);
            test::CloseAllMenus();
        });
        menu.Popup(100, 100);
        driver.join();
        EXPECT_TRUE(openAfterRelease) << "the release closed the menu";
        EXPECT_EQ(0, chosenAfterRelease);
        EXPECT_EQ(1, chosen.load());
    }
}

} // namespace
} // namespace tolvern
