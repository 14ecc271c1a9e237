// The option pages "全般", "起動" and "外見" on a started settings form: every control with its
// caption, range and initial state; each change made on the real dialog is seen at the next
// popup of the real launcher menu; the start-up shortcut, the hot-key field, the font dialog's
// conversions, the number fields; the options' round trip through the registry and a restart.
// Screenshots of each page are kept in the artifacts folder.
#include "app/settings_form.h"
#include "base/text.h"
#include "settings/settings_dialog_ids.h"
#include "settings/startup_shortcut.h"
#include "support/caption_fit.h"
#include "support/font_dialog_answer.h"
#include "support/menu_driver.h"
#include "support/message_box_answer.h"
#include "support/screen_capture.h"
#include "support/started_launcher.h"
#include "support/test_files.h"
#include "support/user_input.h"
#include "support/while_modal.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace tolvern {
namespace {

using namespace test;
namespace fs = std::filesystem;

// What one popup of the launcher menu showed.
struct Popped {
    std::vector<std::wstring> texts;
    RECT window{};
    POINT cursor{};
};

class OptionPages : public testing::Test {
protected:
    void Start() { launcher = std::make_unique<StartedLauncher>(key); }
    TForm2& form() { return launcher->form2; }
    TGeneralPage& general() { return *form().GeneralPage; }
    TStartupPage& startup() { return *form().StartupPage; }
    TAppearancePage& appearance() { return *form().AppearancePage; }

    static void Click(TDialogPage& page, int id) { ::SendMessageW(page.Item(id), BM_CLICK, 0, 0); }
    // An arrow key in a number field, as the user steps it with the up-down control.
    static void Arrow(TDialogPage& page, int editId, UINT vk, int times = 1) {
        for (int i = 0; i < times; ++i) {
            ::SendMessageW(page.Item(editId), WM_KEYDOWN, vk, 0);
            ::SendMessageW(page.Item(editId), WM_KEYUP, vk, 0);
        }
    }
    // Selects an entry of a colour box as the user's choice in its list does.
    static void ChooseColor(TDialogPage& page, TColorLookupComboBox& box,
                            const std::wstring& name) {
        const LRESULT index =
            ::SendMessageW(box.Handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(name.c_str()));
        ::SendMessageW(box.Handle(), CB_SETCURSEL, index, 0);
        ::SendMessageW(page.Handle(), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(box.Handle()), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box.Handle()));
    }
    // Pops up the launcher menu, either as the hot key or a tray click does, and reads it back.
    Popped PopUp(const std::wstring& shot, std::function<void()> popup = {}) {
        Popped seen;
        std::thread driver([&] {
            HWND menu = WaitForMenuWindow();
            if (!menu)
                return;
            ::Sleep(300);
            ::GetWindowRect(menu, &seen.window);
            ::GetCursorPos(&seen.cursor);
            seen.texts =
                MenuTexts(reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0)));
            if (!shot.empty())
                SaveArtifact(CaptureScreen(&seen.window), shot);
            CloseAllMenus();
        });
        if (popup)
            popup();
        else
            form().PopupLauncherMenu({300, 300}, launcher->form1.Handle(), std::nullopt);
        driver.join();
        return seen;
    }

    ScratchKey key;
    std::unique_ptr<StartedLauncher> launcher;
};

// The (id, caption) pairs of a page's controls that have text, in the given order.
using Captions = std::vector<std::pair<int, std::wstring>>;
Captions CaptionsOf(TDialogPage& page, const std::vector<int>& ids) {
    Captions captions;
    for (int id : ids)
        captions.emplace_back(id, WindowText(page.Item(id)));
    return captions;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> ids;
    for (int id = first; id <= last; ++id)
        ids.push_back(id);
    return ids;
}

TEST_F(OptionPages, EveryControlWithItsCaptionRangeAndInitialStateAndAScreenshotOfEachPage) {
    Start();
    // Page "全般".
    EXPECT_EQ(L"全般", general().Caption());
    EXPECT_EQ(
        (Captions{{IDC_GROUPBOX1, L"表示するシステムメニュー"},
                  {IDC_CHKVIEWDESKTOP, L"デスクトップ(&D)"},
                  {IDC_CHKVIEWPROGRAM, L"プログラム(&P)"},
                  {IDC_CHKVIEWMYDOCUMENTS, L"マイ ドキュメント(&M)"},
                  {IDC_CHKVIEWRECENT, L"最近使ったファイル(&R)"},
                  {IDC_CHKVIEWFAVORITES, L"お気に入り(&F)"},
                  {IDC_CHKVIEWHISTORY, L"履歴(&O)"},
                  {IDC_CHKHIDEARROW, L"ショートカットアイコンの矢印を隠す(&A)"},
                  {IDC_CHKDONOTVIEWUNASSOCIATEDITEMS, L"関連付けされたファイルのみ表示する(&S)"},
                  {IDC_CHKDONOTVIEWHIDDENITEMS, L"隠しファイルを表示しない(&H)"},
                  {IDC_CHKDONOTCHECKITEMSEVERYTIME, L"フォルダ内の項目を毎回チェックする(&E)"},
                  {IDC_CHKLIMITITEMS, L"1フォルダ内で表示する項目の個数を制限する(&L)"},
                  {IDC_LBLMAXITEM, L"最大項目数(&I):"},
                  {IDC_EDTMAXITEM, L"300"},
                  {IDC_UPDOWNMAXITEM, L""},
                  {IDC_VIEWHINT_LABEL, L"フォルダ内の項目が"},
                  {IDC_EDTVIEWHINT, L"200"},
                  {IDC_UPDOWNVIEWHINT, L""},
                  {IDC_LBLVIEWHINT, L"以上あるときツールヒントに状況を表示する(&T)"}}),
        CaptionsOf(general(), Range(IDC_GROUPBOX1, IDC_LBLVIEWHINT)));
    std::vector<bool> checked, visible;
    for (int id : Range(IDC_CHKVIEWDESKTOP, IDC_CHKLIMITITEMS))
        checked.push_back(general().Checked(id));
    for (int id : Range(IDC_GROUPBOX1, IDC_LBLVIEWHINT))
        visible.push_back((::GetWindowLongPtrW(general().Item(id), GWL_STYLE) & WS_VISIBLE) != 0);
    EXPECT_EQ(std::vector<bool>(11, true), checked);
    std::vector<bool> shown(19, true);
    for (int hidden : {IDC_CHKLIMITITEMS, IDC_LBLMAXITEM, IDC_EDTMAXITEM, IDC_UPDOWNMAXITEM})
        shown[hidden - IDC_GROUPBOX1] = false;
    EXPECT_EQ(shown, visible);
    auto range = [](TDialogPage& page, int id) {
        int low = 0, high = 0;
        ::SendMessageW(page.Item(id), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                       reinterpret_cast<LPARAM>(&high));
        UDACCEL accel{};
        ::SendMessageW(page.Item(id), UDM_GETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
        return std::vector<int>{
            low, high, static_cast<int>(accel.nInc),
            static_cast<int>(::SendMessageW(page.Item(id), UDM_GETPOS32, 0, 0))};
    };
    EXPECT_EQ((std::vector<int>{10, 1000, 10, 200}), range(general(), IDC_UPDOWNVIEWHINT));
    EXPECT_EQ((std::vector<int>{1, 10000, 1, 300}), range(general(), IDC_UPDOWNMAXITEM));
    for (int id : {IDC_EDTVIEWHINT, IDC_EDTMAXITEM})
        EXPECT_EQ(general().Item(id), reinterpret_cast<HWND>(::SendMessageW(general().Item(id + 1),
                                                                            UDM_GETBUDDY, 0, 0)));
    EXPECT_TRUE(::GetWindowLongPtrW(general().Item(IDC_EDTVIEWHINT), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ((Captions{{IDC_CHKALWAYSSCROLLMENUS, L"長いフォルダは常にスクロールする(&L)"}}),
              CaptionsOf(general(), {IDC_CHKALWAYSSCROLLMENUS}));
    EXPECT_FALSE(general().Checked(IDC_CHKALWAYSSCROLLMENUS));
    EXPECT_TRUE(::GetWindowLongPtrW(general().Item(IDC_CHKALWAYSSCROLLMENUS), GWL_STYLE) &
                WS_VISIBLE);

    // Page "起動".
    EXPECT_EQ(L"起動", startup().Caption());
    EXPECT_EQ(
        (Captions{{IDC_CHKSTARTUP, L"スタートアップに登録する(&S)"},
                  {IDC_GROUPBOX3, L"ホットキー"},
                  {IDC_HOTKEY_LABEL, L"キーストローク(&K):"},
                  {IDC_POPUPPOS_LABEL, L"ポップアップする位置:"},
                  {IDC_RBLEFTTOP, L"左上(&L)"},
                  {IDC_RBRIGHTTOP, L"右上(&R)"},
                  {IDC_RBLEFTBOTTOM, L"左下(&E)"},
                  {IDC_RBRIGHTBOTTOM, L"右下(&I)"},
                  {IDC_CHKPOPUPONSELPOS, L"タスクトレイのアイコンをクリックしたときも上で設定した"
                                         L"位置にポップアップする(&T)"},
                  {IDC_CHKMOVECURSOR, L"マウスカーソルを自動的に上で設定した位置に移動する(&M)"}}),
        CaptionsOf(startup(), {IDC_CHKSTARTUP, IDC_GROUPBOX3, IDC_HOTKEY_LABEL, IDC_POPUPPOS_LABEL,
                               IDC_RBLEFTTOP, IDC_RBRIGHTTOP, IDC_RBLEFTBOTTOM, IDC_RBRIGHTBOTTOM,
                               IDC_CHKPOPUPONSELPOS, IDC_CHKMOVECURSOR}));
    checked.clear();
    for (int id : {IDC_CHKSTARTUP, IDC_RBLEFTTOP, IDC_RBRIGHTTOP, IDC_RBLEFTBOTTOM,
                   IDC_RBRIGHTBOTTOM, IDC_CHKPOPUPONSELPOS, IDC_CHKMOVECURSOR})
        checked.push_back(startup().Checked(id));
    EXPECT_EQ((std::vector<bool>{false, false, false, false, true, false, false}), checked);
    EXPECT_FALSE(::IsWindowEnabled(startup().Item(IDC_CHKMOVECURSOR)));
    EXPECT_EQ(L"msctls_hotkey32", WindowClassName(startup().Item(IDC_HOTKEY1)));
    EXPECT_EQ(ShortCut{kShortCutCtrl | kShortCutAlt | 'L'}, startup().HotKey());

    // Page "外見".
    EXPECT_EQ(L"外見", appearance().Caption());
    EXPECT_EQ(
        (Captions{{IDC_GROUPBOX2, L"バナー"},
                  {IDC_BANNERTEXT_LABEL, L"テキスト(&T):"},
                  {IDC_EDTBANNERTEXT, L"Tolvern Launcher"},
                  {IDC_CMDSETFONT, L"フォント(&F)..."},
                  {IDC_BACKGROUND_LABEL, L"バックグランド色:"},
                  {IDC_UPPERCOLOR_LABEL, L"上(&U):"},
                  {IDC_CMBUPPERCOLOR, L"青緑"},
                  {IDC_BOTTOMCOLOR_LABEL, L"下(&B):"},
                  {IDC_CMBBOTTOMCOLOR, L"黒"},
                  {IDC_BANNERWIDTH_LABEL, L"幅(&D):"},
                  {IDC_EDTBANNERWIDTH, L"28"},
                  {IDC_UPDOWNBANNERWIDTH, L""},
                  {IDC_RGVIEWSTYLE, L"メニューの表示形式"},
                  {IDC_RBVIEWSTYLEWINDOWS, L"&Windows"},
                  {IDC_RBVIEWSTYLEOFFICE97, L"&Office97"},
                  {IDC_CHKLARGEICON, L"トップレベルのメニュー項目は大きいアイコンを使う(&L)"}}),
        CaptionsOf(appearance(), Range(IDC_GROUPBOX2, IDC_CHKLARGEICON)));
    EXPECT_EQ((std::vector<int>{2, 100, 1, 28}), range(appearance(), IDC_UPDOWNBANNERWIDTH));
    EXPECT_EQ((std::vector<bool>{true, false, false}),
              (std::vector<bool>{appearance().Checked(IDC_RBVIEWSTYLEWINDOWS),
                                 appearance().Checked(IDC_RBVIEWSTYLEOFFICE97),
                                 appearance().Checked(IDC_CHKLARGEICON)}));
    // Both colour boxes: the sixteen standard colours in Japanese, then the 154 extended ones.
    std::vector<std::wstring> expected;
    for (const NamedColor& color : StandardColors())
        expected.push_back(color.name);
    for (const NamedColor& color : JapaneseExtendedColors())
        expected.push_back(color.name);
    ASSERT_EQ(170u, expected.size());
    for (TColorLookupComboBox* box : {&appearance().cmbUpperColor, &appearance().cmbBottomColor}) {
        std::vector<std::wstring> entries;
        const int n = static_cast<int>(::SendMessageW(box->Handle(), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t text[64] = {};
            ::SendMessageW(box->Handle(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        EXPECT_EQ(expected, entries);
    }
    EXPECT_EQ(0x808000, appearance().cmbUpperColor.SelectedColor());
    EXPECT_EQ(0x808000, appearance().cmbUpperColor.DefaultColor());
    EXPECT_EQ(0, appearance().cmbBottomColor.SelectedColor());
    EXPECT_EQ(0, appearance().cmbBottomColor.DefaultColor());

    // Nothing Japanese is clipped, and the pages' screenshots for a person to look at.
    for (TDialogPage* page :
         std::initializer_list<TDialogPage*>{&general(), &startup(), &appearance()})
        for (HWND child = ::GetWindow(page->Handle(), GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring className = WindowClassName(child);
            if (!(::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE))
                continue;
            // Within the part of the page that the tab control shows.
            RECT rect{}, pageRect{};
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(nullptr, page->Handle(), reinterpret_cast<POINT*>(&rect), 2);
            ::GetClientRect(page->Handle(), &pageRect);
            EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= pageRect.right &&
                        rect.bottom <= pageRect.bottom)
                << ::GetDlgCtrlID(child);
            if ((className == L"Button" || className == L"Static") &&
                (::GetWindowLongPtrW(child, GWL_STYLE) & 0x0F) != BS_GROUPBOX) {
                EXPECT_TRUE(CaptionFits(child)) << ::GetDlgCtrlID(child);
            }
        }
    ::SetWindowTextW(form().Handle(), kApplicationTitle);
    std::vector<Image> shots(3);
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < 3; ++i) {
        steps.push_back([&, i] { form().PageControl1->SetActivePageIndex(i + 1); });
        steps.push_back([] {});
        steps.push_back([&, i] {
            RECT rect{};
            ::GetWindowRect(form().Handle(), &rect);
            shots[i] = CaptureScreen(&rect);
        });
    }
    steps.push_back([&] { ::PostMessageW(form().cmdClose(), BM_CLICK, 0, 0); });
    {
        WhileModal modal(steps);
        form().ShowModal();
    }
    const wchar_t* names[] = {L"settings_dialog_general", L"settings_dialog_startup",
                              L"settings_dialog_appearance"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_GT(shots[i].width, 0);
        EXPECT_FALSE(SaveArtifact(shots[i], names[i]).empty());
    }
}

const std::wstring& StandardName(ColorCode value) {
    for (const NamedColor& color : StandardColors())
        if (static_cast<ColorCode>(color.value) == value)
            return *new std::wstring(color.name); // kept for the test's run
    throw std::invalid_argument("no standard colour");
}

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

TEST_F(OptionPages, EachChangeOnThePagesIsSeenAtTheNextPopupOfTheLauncherMenu) {
    Start();
    const Popped before = PopUp(L"options_menu_before");
    EXPECT_EQ(TopLevelTexts(), before.texts);

    // Special folders hidden and shown again, at once.
    for (int id : {IDC_CHKVIEWDESKTOP, IDC_CHKVIEWRECENT, IDC_CHKVIEWHISTORY})
        Click(general(), id);
    EXPECT_EQ(TopLevelTexts({L"デスクトップ(&T)", L"最近使ったファイル(&D)", L"履歴(&H)"}),
              PopUp(L"options_menu_folders_hidden").texts);
    for (int id : {IDC_CHKVIEWPROGRAM, IDC_CHKVIEWMYDOCUMENTS, IDC_CHKVIEWFAVORITES})
        Click(general(), id);
    EXPECT_EQ(TopLevelTexts({L"デスクトップ(&T)", L"プログラム(&P)", L"マイ ドキュメント(&M)",
                             L"最近使ったファイル(&D)", L"お気に入り(&A)", L"履歴(&H)"}),
              PopUp(L"").texts);
    for (int id : {IDC_CHKVIEWDESKTOP, IDC_CHKVIEWPROGRAM, IDC_CHKVIEWMYDOCUMENTS,
                   IDC_CHKVIEWRECENT, IDC_CHKVIEWFAVORITES, IDC_CHKVIEWHISTORY})
        Click(general(), id);
    EXPECT_EQ(TopLevelTexts(), PopUp(L"").texts);

    // The banner: text, font, colours, width; the Office97 style and large icons.
    ::SetWindowTextW(appearance().Item(IDC_EDTBANNERTEXT), L"ランチャー Banner");
    appearance().FontDialog1 = [](const BannerFontChoice&) {
        return BannerFontChoice{L"Arial", 160, 0x00FFFF, fsBold | fsItalic};
    };
    Click(appearance(), IDC_CMDSETFONT);
    ChooseColor(appearance(), appearance().cmbUpperColor, StandardName(0x0000FF));
    ChooseColor(appearance(), appearance().cmbBottomColor, StandardName(0x800000));
    Arrow(appearance(), IDC_EDTBANNERWIDTH, VK_UP, 12);
    EXPECT_EQ(L"40", WindowText(appearance().Item(IDC_EDTBANNERWIDTH)));
    const TBarPopupMenu& menu = form().PopupMenu2;
    EXPECT_EQ(40, menu.BarWidth) << "at once";
    const Popped wider = PopUp(L"options_menu_banner");
    EXPECT_EQ(TopLevelTexts(), wider.texts);
    EXPECT_EQ(Width(before.window) + 12, Width(wider.window)) << "the banner is 12 pixels wider";
    Click(appearance(), IDC_RBVIEWSTYLEOFFICE97);
    EXPECT_EQ(1, menu.DrawStyle) << "at once";
    Click(appearance(), IDC_CHKLARGEICON);
    EXPECT_EQ(32, menu.IconSize) << "at once";
    EXPECT_EQ(&form().Menu.ImageList_Large, menu.Images);
    const Popped after = PopUp(L"options_menu_banner_office97_large");
    EXPECT_EQ(TopLevelTexts(), after.texts);
    EXPECT_EQ(L"ランチャー Banner", menu.VerticalText);
    EXPECT_EQ((std::vector<std::wstring>{L"Arial", L"-21", L"65535", L"3"}),
              (std::vector<std::wstring>{menu.VerticalFont.Name,
                                         std::to_wstring(menu.VerticalFont.Height),
                                         std::to_wstring(menu.VerticalFont.Color),
                                         std::to_wstring(menu.VerticalFont.Style)}));
    EXPECT_EQ((std::vector<int>{0x0000FF, 0x800000}),
              (std::vector<int>{menu.GradientStart, menu.GradientEnd}));
    EXPECT_EQ(Height(before.window) + 10 * 14, Height(after.window)) << "ten items 14 higher";
    // Back to the Windows style with small icons.
    Click(appearance(), IDC_RBVIEWSTYLEWINDOWS);
    Click(appearance(), IDC_CHKLARGEICON);
    const Popped small = PopUp(L"options_menu_banner_windows");
    EXPECT_EQ(0, menu.DrawStyle);
    EXPECT_EQ(&form().Menu.ImageList_small, menu.Images);
    EXPECT_EQ(Height(before.window), Height(small.window));
}

TEST_F(OptionPages, HidingArrowsFetchesEveryIconAgain) {
    const fs::path dir = fs::temp_directory_path() / L"option_arrows";
    fs::create_directories(dir);
    StoreEntries(key, {{L"メモ帳", L"C:\\windows\\notepad.exe"},
                       {L"フォルダ", dir.wstring()},
                       {L"win.ini", L"C:\\windows\\win.ini"}});
    Start();
    TLauncherMenu& menu = form().Menu;
    auto entries = [&] {
        std::vector<std::wstring> rows;
        for (const MyMenuRow& row : menu.Rows())
            rows.push_back(row.Caption + L"|" + row.Path + L"|" + std::to_wstring(row.ImageIndex));
        return rows;
    };
    const std::vector<std::wstring> shown = entries();
    std::vector<TMenuItem*> folders = {menu.DesktopMenuItem,     menu.ProgramMenuItem,
                                       menu.MyDocumentsMenuItem, menu.RecentMenuItem,
                                       menu.FavoritesMenuItem,   menu.HistoryMenuItem};
    std::vector<int> unread;
    for (TMenuItem* item : folders)
        unread.push_back(item->Count());
    for (TMenuItem* item : folders)
        form().GetSubItems2(item);
    EXPECT_GT(menu.DesktopMenuItem->Count(), unread[0]);
    const int images = ImageList_GetImageCount(menu.ImageList_small.Handle());

    Click(general(), IDC_CHKHIDEARROW);
    EXPECT_FALSE(form().Options().HideArrow);
    std::vector<int> reset;
    for (TMenuItem* item : folders)
        reset.push_back(item->Count());
    EXPECT_EQ(unread, reset) << "the six submenus are read again when next opened";
    // Every entry is added again in its order, with its icon fetched anew.
    std::vector<std::wstring> again = entries();
    ASSERT_EQ(shown.size(), again.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].substr(0, shown[i].rfind(L'|')),
                  again[i].substr(0, again[i].rfind(L'|')));
        EXPECT_NE(shown[i], again[i]) << "a new icon";
    }
    EXPECT_EQ(images + 3, ImageList_GetImageCount(menu.ImageList_small.Handle()));
    const Popped popped = PopUp(L"");
    std::vector<std::wstring> expected = TopLevelTexts({L"(なし)"});
    expected.insert(expected.begin() + 9, {L"メモ帳", L"フォルダ", L"win.ini"});
    EXPECT_EQ(expected, popped.texts);
    launcher.reset();
    fs::remove_all(dir);
}

TEST_F(OptionPages, HiddenAndUnassociatedFilesInFolderSubmenus) {
    const fs::path dir = fs::temp_directory_path() / L"option_files";
    fs::create_directories(dir);
    for (const wchar_t* name : {L"a.bat", L"b.xyz", L"c.txt"})
        MakeFile((dir / name).wstring());
    ::SetFileAttributesW((dir / L"c.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    StoreEntries(key, {{L"Files", dir.wstring()}});
    Start();
    // What the folder's submenu shows when it is next opened.
    auto submenu = [&] {
        TMenuItem* item = form().PopupMenu2.Items.Items(10);
        form().GetSubItems2(item);
        std::vector<std::wstring> captions;
        for (int i = 0; i < item->Count(); ++i)
            if (item->Items(i)->Visible)
                captions.push_back(item->Items(i)->Caption);
        return captions;
    };
    const std::vector<std::wstring> start = submenu();
    ASSERT_FALSE(start.empty());
    const std::wstring open = start.front(); // the folder's own open item and its separator
    EXPECT_EQ((std::vector<std::wstring>{open, L"-", L"a.bat"}), start);
    Click(general(), IDC_CHKDONOTVIEWUNASSOCIATEDITEMS);
    EXPECT_EQ((std::vector<std::wstring>{open, L"-", L"a.bat", L"b.xyz"}), submenu());
    Click(general(), IDC_CHKDONOTVIEWHIDDENITEMS);
    EXPECT_EQ(SHCONTF(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN),
              form().FolderEnumFlags);
    EXPECT_EQ((std::vector<std::wstring>{open, L"-", L"a.bat", L"b.xyz", L"c.txt"}), submenu());
    Click(general(), IDC_CHKDONOTVIEWUNASSOCIATEDITEMS);
    Click(general(), IDC_CHKDONOTVIEWHIDDENITEMS);
    EXPECT_EQ(SHCONTF(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS), form().FolderEnumFlags);
    EXPECT_EQ(start, submenu());
    // Read once only while the box is cleared: a new file shows only with it checked.
    Click(general(), IDC_CHKDONOTCHECKITEMSEVERYTIME);
    MakeFile((dir / L"d.bat").wstring());
    EXPECT_EQ(start, submenu());
    Click(general(), IDC_CHKDONOTCHECKITEMSEVERYTIME);
    EXPECT_EQ((std::vector<std::wstring>{open, L"-", L"a.bat", L"d.bat"}), submenu());
    launcher.reset();
    ::SetFileAttributesW((dir / L"c.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(dir);
}

TEST_F(OptionPages, PopupCornerAndCursorMoveAtATrayClick) {
    Start();
    HWND moveCursor = startup().Item(IDC_CHKMOVECURSOR);
    auto state = [&] {
        return std::vector<bool>{startup().Checked(IDC_CHKPOPUPONSELPOS),
                                 ::IsWindowEnabled(moveCursor) != FALSE,
                                 startup().Checked(IDC_CHKMOVECURSOR),
                                 form().Options().PopupOnSelPos, form().Options().MoveCursor};
    };
    EXPECT_EQ((std::vector<bool>{false, false, false, false, false}), state());
    Click(startup(), IDC_CHKPOPUPONSELPOS);
    EXPECT_EQ((std::vector<bool>{true, true, false, true, false}), state());
    Click(startup(), IDC_CHKMOVECURSOR);
    EXPECT_EQ((std::vector<bool>{true, true, true, true, true}), state());
    Click(startup(), IDC_CHKPOPUPONSELPOS);
    EXPECT_EQ((std::vector<bool>{false, false, true, false, true}), state()) << "keeps its mark";
    Click(startup(), IDC_CHKPOPUPONSELPOS);
    EXPECT_EQ((std::vector<bool>{true, true, true, true, true}), state());

    Click(startup(), IDC_RBLEFTTOP);
    std::vector<bool> radios;
    for (const TStartupPage::Corner& corner : TStartupPage::kCorners)
        radios.push_back(startup().Checked(corner.id));
    EXPECT_EQ((std::vector<bool>{true, false, false, false}), radios);
    EXPECT_EQ(L"LeftTop", form().Options().PopupPos);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const POINT target = form().PlaceAtChosenCorner().cursorTarget;
    auto trayClick = [&] {
        launcher->form1.TaskTrayIcon1MouseDown(nullptr, TMouseButton::mbRight, 0, 700, 500);
    };
    ::SetCursorPos(700, 500);
    const Popped moved = PopUp(L"options_menu_left_top", trayClick);
    EXPECT_EQ(work.left, moved.window.left);
    EXPECT_EQ(work.top, moved.window.top);
    EXPECT_EQ(target.x, moved.cursor.x);
    EXPECT_EQ(target.y, moved.cursor.y);

    Click(startup(), IDC_CHKMOVECURSOR);
    Click(startup(), IDC_RBRIGHTBOTTOM);
    EXPECT_EQ(L"RightBottom", form().Options().PopupPos);
    ::SetCursorPos(700, 500);
    const Popped stayed = PopUp(L"", trayClick);
    EXPECT_EQ(work.right, stayed.window.right);
    EXPECT_EQ(work.bottom, stayed.window.bottom);
    EXPECT_EQ(700, stayed.cursor.x);
    EXPECT_EQ(500, stayed.cursor.y);
    // Not at the corner: the menu comes up at the mouse.
    Click(startup(), IDC_CHKPOPUPONSELPOS);
    const Popped atMouse = PopUp(L"", trayClick);
    EXPECT_EQ(700, atMouse.window.left);
    EXPECT_EQ(500, atMouse.window.top);
}

TEST_F(OptionPages, StartupBoxCreatesOrDeletesTheShortcutAndStoresAtOnce) {
    Start();
    const std::wstring link = StartupShortcutPath(key.StartupFolder());
    ASSERT_FALSE(link.empty());
    // The user's own shortcut to the program, without arguments.
    MakeShortcut(link, ProgramFilePath());
    const std::wstring setting = key.Path().substr(1) + L"\\" + kSettingSection;
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, setting.c_str(), L"Startup");
    auto content = [&] {
        std::ifstream in(link.c_str(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    const std::string users = content();
    Click(startup(), IDC_CHKSTARTUP);
    EXPECT_EQ(users, content()) << "left as it is";
    EXPECT_EQ(DWORD{REG_NONE}, key.ValueType(kSettingSection, L"Startup"));
    EXPECT_TRUE(form().Options().Startup);
    Click(startup(), IDC_CHKSTARTUP);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(link.c_str()));
    EXPECT_EQ(L"0", key.GetString(kSettingSection, L"Startup"));
    EXPECT_FALSE(form().Options().Startup);
    Click(startup(), IDC_CHKSTARTUP);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(link.c_str()));
    EXPECT_EQ(L"/wait:10", ReadLink(link).arguments);
    EXPECT_EQ(L"1", key.GetString(kSettingSection, L"Startup"));
    EXPECT_TRUE(startup().Checked(IDC_CHKSTARTUP));
    Click(startup(), IDC_CHKSTARTUP);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(link.c_str()));

    // No Startup folder to take the shortcut: the program goes on, the box is cleared again
    // and the user is told.
    const std::wstring folder = ExtractFileDir(link);
    ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()));
    BoxSeen seen;
    std::thread answer = AnswerMessageBox(IDOK, seen);
    Click(startup(), IDC_CHKSTARTUP);
    answer.join();
    ::CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_EQ(kStartupFailed, seen.text);
    EXPECT_FALSE(startup().Checked(IDC_CHKSTARTUP));
    EXPECT_FALSE(form().Options().Startup);
    EXPECT_EQ(L"0", key.GetString(kSettingSection, L"Startup"));
    EXPECT_FALSE(form().TerminatedByException);
}

TEST_F(OptionPages, HotKeyFieldTakesCtrlAltForAKeyAloneOrWithShiftAndRegistersAtTheHide) {
    EXPECT_EQ(ShortCut{kShortCutCtrl | kShortCutAlt | 'K'}, AcceptedHotKey('K'));
    EXPECT_EQ(ShortCut{kShortCutCtrl | kShortCutAlt | 'K'},
              AcceptedHotKey(kShortCutShift | kShortCutCtrl | 'K'));
    EXPECT_EQ(ShortCut{kShortCutCtrl | kShortCutAlt | 'K'}, AcceptedHotKey(kShortCutShift | 'K'));
    EXPECT_EQ(ShortCut{kShortCutAlt | 'K'}, AcceptedHotKey(kShortCutAlt | 'K'));
    EXPECT_EQ(ShortCut{kShortCutCtrl | 'K'}, AcceptedHotKey(kShortCutCtrl | 'K'));
    EXPECT_EQ(ShortCut{0}, AcceptedHotKey(0));
    for (ShortCut shortCut : {ShortCut(kShortCutCtrl | kShortCutAlt | 'L'),
                              ShortCut(kShortCutShift | VK_F5), ShortCut(kShortCutAlt | VK_HOME)})
        EXPECT_EQ(shortCut, ShortCutFromHotKeyControl(HotKeyControlValue(shortCut)));

    Start();
    HWND field = startup().Item(IDC_HOTKEY1);
    // The field shows the key the user chose: the arrows and the block above them as the
    // extended keys they are, not as the keypad keys of the same codes. Ctrl+Alt (0x06) with
    // the extended flag (0x08) for those, without it for the rest.
    std::vector<WORD> shown;
    for (int vk : {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_INSERT,
                   VK_DELETE, VK_DIVIDE, VK_NUMLOCK, VK_NUMPAD2, int('A'), VK_F5, VK_RETURN}) {
        LauncherSettings settings = form().Options();
        settings.HotKey = static_cast<ShortCut>(kShortCutCtrl | kShortCutAlt | vk);
        startup().ShowOptions(settings);
        shown.push_back(static_cast<WORD>(::SendMessageW(field, HKM_GETHOTKEY, 0, 0)));
    }
    EXPECT_EQ((std::vector<WORD>{0x0E21, 0x0E22, 0x0E23, 0x0E24, 0x0E25, 0x0E26, 0x0E27, 0x0E28,
                                 0x0E2D, 0x0E2E, 0x0E6F, 0x0E90, 0x0662, 0x0641, 0x0674, 0x060D}),
              shown);
    startup().ShowOptions(form().Options());

    std::vector<ShortCut> typed;
    auto read = [&] { typed.push_back(startup().HotKey()); };
    {
        WhileModal steps({[&] { form().PageControl1->SetActivePageIndex(2); },
                          [&] { ::SetFocus(field); }, [] { PressChord({'K'}); }, read,
                          [] {
                              PressChord({VK_SHIFT, VK_CONTROL, 'J'});
                          },
                          read,
                          [] {
                              PressChord({VK_MENU, 'P'});
                          },
                          read, [&] { ::PostMessageW(form().cmdClose(), BM_CLICK, 0, 0); }});
        form().ShowModal();
    }
    EXPECT_EQ((std::vector<ShortCut>{ShortCut(kShortCutCtrl | kShortCutAlt | 'K'),
                                     ShortCut(kShortCutCtrl | kShortCutAlt | 'J'),
                                     ShortCut(kShortCutAlt | 'P')}),
              typed);
    EXPECT_EQ(ShortCut(kShortCutAlt | 'P'), form().Options().HotKey);
    EXPECT_EQ(L"Alt+P", key.GetString(kSettingSection, L"HotKey"));
    // Registered at the hide: Alt+P is taken, Ctrl+Alt+L free again.
    EXPECT_FALSE(::RegisterHotKey(nullptr, 7, MOD_ALT, 'P'));
    EXPECT_TRUE(::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'L'));
    ::UnregisterHotKey(nullptr, 7);
}

TEST_F(OptionPages, FontDialogConversionsAndTheNumberFields) {
    EXPECT_EQ((std::vector<int>{14, 12, 2, 8, 10, 12, 9}),
              (std::vector<int>{BannerFontPoints(-19, 96), BannerFontPoints(-16, 96),
                                BannerFontPoints(-2, 96),   // 1.5 to 2
                                BannerFontPoints(-10, 96),  // 7.5 to 8
                                BannerFontPoints(-14, 96),  // 10.5 to 10
                                BannerFontPoints(-20, 120), // 12
                                BannerFontPoints(12, 96)}));
    EXPECT_EQ((std::vector<int>{-16, -19, -14, -18, 0, -2}),
              (std::vector<int>{BannerFontHeight(120, 96), BannerFontHeight(140, 96),
                                BannerFontHeight(105, 96), BannerFontHeight(140, 92),
                                BannerFontHeight(3, 120),    // 0.5 to 0
                                BannerFontHeight(9, 120)})); // 1.5 to 2

    Start();
    const auto systemDialog = appearance().FontDialog1;
    std::vector<BannerFontChoice> shown;
    std::optional<BannerFontChoice> answer;
    appearance().FontDialog1 = [&](const BannerFontChoice& font) {
        shown.push_back(font);
        return answer;
    };
    const LauncherSettings unchanged = form().Options();
    Click(appearance(), IDC_CMDSETFONT); // cancelled
    EXPECT_EQ(unchanged, form().Options());
    answer = BannerFontChoice{L"ＭＳ Ｐゴシック", 120, 0x0000FF, fsUnderline | fsStrikeOut};
    Click(appearance(), IDC_CMDSETFONT);
    Click(appearance(), IDC_CMDSETFONT);
    EXPECT_EQ((std::vector<BannerFontChoice>{{L"Arial", 140, 0xFFFFFF, 3},
                                             {L"Arial", 140, 0xFFFFFF, 3},
                                             {L"ＭＳ Ｐゴシック", 120, 0x0000FF, 12}}),
              shown);
    const LauncherSettings& o = form().Options();
    EXPECT_EQ((std::vector<std::wstring>{L"ＭＳ Ｐゴシック", L"-16", L"255", L"12"}),
              (std::vector<std::wstring>{o.BannerFontName, std::to_wstring(o.BannerFontHeight),
                                         std::to_wstring(o.BannerFontColor),
                                         std::to_wstring(o.BannerFontStyle)}));

    // The system's font dialog shows the stored font at 14 points; OK keeps it as it was. (The
    // test's prefix has no Arial, so the font is one that it has.)
    appearance().FontDialog1 = systemDialog;
    form().SetBannerFont(L"DejaVu Sans", -19, 0xFFFFFF, 3);
    const std::wstring sizeShown =
        FontDialogSizeShown([&] { Click(appearance(), IDC_CMDSETFONT); }, L"settings_dialog_font");
    EXPECT_EQ(L"14", sizeShown);
    const LauncherSettings& kept = form().Options();
    EXPECT_EQ((std::vector<std::wstring>{L"DejaVu Sans", L"-19", L"16777215", L"3"}),
              (std::vector<std::wstring>{
                  kept.BannerFontName, std::to_wstring(kept.BannerFontHeight),
                  std::to_wstring(kept.BannerFontColor), std::to_wstring(kept.BannerFontStyle)}));

    // The hint threshold steps by ten through the arrows, up to 1,000.
    HWND hint = general().Item(IDC_EDTVIEWHINT);
    Arrow(general(), IDC_EDTVIEWHINT, VK_UP, 90);
    EXPECT_EQ(L"1,000", WindowText(hint));
    EXPECT_EQ(1000, form().Options().ShowHintFrom);
    Arrow(general(), IDC_EDTVIEWHINT, VK_DOWN);
    EXPECT_EQ(L"990", WindowText(hint));
    EXPECT_EQ(990, form().Options().ShowHintFrom);
    Arrow(general(), IDC_EDTVIEWHINT, VK_DOWN, 120);
    EXPECT_EQ(L"10", WindowText(hint));
    EXPECT_EQ(10, form().Options().ShowHintFrom);
    // The hidden item limit changes nothing.
    const LauncherSettings before = form().Options();
    Click(general(), IDC_CHKLIMITITEMS);
    Arrow(general(), IDC_EDTMAXITEM, VK_UP, 3);
    EXPECT_EQ(L"303", WindowText(general().Item(IDC_EDTMAXITEM)));
    EXPECT_EQ(before, form().Options());
}

// Every option as the pages' controls show it (the font, which has no control, as stored).
LauncherSettings Shown(TForm2& form) {
    LauncherSettings s = form.Options();
    TGeneralPage& g = *form.GeneralPage;
    TStartupPage& st = *form.StartupPage;
    TAppearancePage& a = *form.AppearancePage;
    s.ViewDesktopMenu = g.Checked(IDC_CHKVIEWDESKTOP);
    s.ViewProgramMenu = g.Checked(IDC_CHKVIEWPROGRAM);
    s.ViewMyDocumentsMenu = g.Checked(IDC_CHKVIEWMYDOCUMENTS);
    s.ViewRecentMenu = g.Checked(IDC_CHKVIEWRECENT);
    s.ViewFavoritesMenu = g.Checked(IDC_CHKVIEWFAVORITES);
    s.ViewHistoryMenu = g.Checked(IDC_CHKVIEWHISTORY);
    s.HideArrow = g.Checked(IDC_CHKHIDEARROW);
    s.DoNotViewUnassociatedItems = g.Checked(IDC_CHKDONOTVIEWUNASSOCIATEDITEMS);
    s.DoNotViewHiddenItems = g.Checked(IDC_CHKDONOTVIEWHIDDENITEMS);
    s.DoNotCheckItemsEveryTime = g.Checked(IDC_CHKDONOTCHECKITEMSEVERYTIME);
    s.ShowHintFrom = g.SpinPosition(IDC_UPDOWNVIEWHINT);
    s.AlwaysScrollMenus = g.Checked(IDC_CHKALWAYSSCROLLMENUS);
    s.Startup = st.Checked(IDC_CHKSTARTUP);
    s.HotKey = st.HotKey();
    s.PopupPos.clear();
    for (const TStartupPage::Corner& corner : TStartupPage::kCorners)
        if (st.Checked(corner.id))
            s.PopupPos += corner.name;
    s.PopupOnSelPos = st.Checked(IDC_CHKPOPUPONSELPOS);
    s.MoveCursor = st.Checked(IDC_CHKMOVECURSOR);
    s.BannerText = a.Text(IDC_EDTBANNERTEXT);
    s.UpperColor = a.cmbUpperColor.SelectedColor();
    s.BottomColor = a.cmbBottomColor.SelectedColor();
    s.MenuBannerWidth = a.SpinPosition(IDC_UPDOWNBANNERWIDTH);
    s.MenuDrawStyle = a.Checked(IDC_RBVIEWSTYLEOFFICE97) ? 1 : 0;
    s.LargeIcon = a.Checked(IDC_CHKLARGEICON);
    return s;
}

TEST_F(OptionPages, EveryOptionSurvivesClosingReopeningAndARestart) {
    Start();
    LauncherSettings expected = form().Options();
    EXPECT_EQ(expected, Shown(form())) << "the defaults";
    {
        WhileModal steps(
            {[&] {
                 for (int id : Range(IDC_CHKVIEWDESKTOP, IDC_CHKDONOTCHECKITEMSEVERYTIME))
                     Click(general(), id);
                 Arrow(general(), IDC_EDTVIEWHINT, VK_UP, 3);
                 Click(general(), IDC_CHKALWAYSSCROLLMENUS);
                 ::SendMessageW(startup().Item(IDC_HOTKEY1), HKM_SETHOTKEY,
                                MAKEWORD(VK_F7, HOTKEYF_SHIFT), 0);
                 ::SendMessageW(startup().Handle(), WM_COMMAND, MAKEWPARAM(IDC_HOTKEY1, EN_CHANGE),
                                reinterpret_cast<LPARAM>(startup().Item(IDC_HOTKEY1)));
                 Click(startup(), IDC_RBRIGHTTOP);
                 Click(startup(), IDC_CHKPOPUPONSELPOS);
                 Click(startup(), IDC_CHKMOVECURSOR);
                 ::SetWindowTextW(appearance().Item(IDC_EDTBANNERTEXT), L"バナー");
                 appearance().FontDialog1 = [](const BannerFontChoice&) {
                     return BannerFontChoice{L"Courier New", 90, 0x00FF00, fsStrikeOut};
                 };
                 Click(appearance(), IDC_CMDSETFONT);
                 ChooseColor(appearance(), appearance().cmbUpperColor, L"アリスブルー");
                 ChooseColor(appearance(), appearance().cmbBottomColor, L"ボタン面");
                 Arrow(appearance(), IDC_EDTBANNERWIDTH, VK_DOWN, 5);
                 Click(appearance(), IDC_RBVIEWSTYLEOFFICE97);
                 Click(appearance(), IDC_CHKLARGEICON);
             },
             [&] { ::PostMessageW(form().cmdClose(), BM_CLICK, 0, 0); }});
        form().ShowModal();
    }
    expected.ViewDesktopMenu = expected.ViewProgramMenu = expected.ViewMyDocumentsMenu = false;
    expected.ViewRecentMenu = expected.ViewFavoritesMenu = expected.ViewHistoryMenu = false;
    expected.HideArrow = expected.DoNotViewUnassociatedItems = false;
    expected.DoNotViewHiddenItems = expected.DoNotCheckItemsEveryTime = false;
    expected.ShowHintFrom = 230;
    expected.AlwaysScrollMenus = true;
    expected.HotKey = kShortCutCtrl | kShortCutAlt | VK_F7;
    expected.PopupPos = L"RightTop";
    expected.PopupOnSelPos = expected.MoveCursor = true;
    expected.BannerText = L"バナー";
    expected.BannerFontName = L"Courier New";
    expected.BannerFontHeight = -12;
    expected.BannerFontColor = 0x00FF00;
    expected.BannerFontStyle = fsStrikeOut;
    expected.UpperColor = 0xFFF8F0;
    expected.BottomColor = SystemColorCode(COLOR_BTNFACE);
    expected.MenuBannerWidth = 23;
    expected.MenuDrawStyle = 1;
    expected.LargeIcon = true;
    EXPECT_EQ(expected, form().Options());
    EXPECT_EQ(expected, Shown(form()));
    EXPECT_TRUE(form().PopupMenu2.ScrollTallSubmenus) << "at once";
    EXPECT_EQ(L"Ctrl+Alt+F7", key.GetString(kSettingSection, L"HotKey"));
    EXPECT_EQ(L"バナー", key.GetString(kSettingSection, L"BannerText"));
    {
        WhileModal steps({[] {}, [&] { ::PostMessageW(form().cmdClose(), BM_CLICK, 0, 0); }});
        form().ShowModal();
    }
    EXPECT_EQ(expected, Shown(form())) << "reopened";

    launcher.reset(); // the program ends and saves
    Start();
    EXPECT_EQ(expected, form().Options()) << "restarted";
    EXPECT_EQ(expected, Shown(form()));
    EXPECT_EQ(23, form().PopupMenu2.BarWidth);
    EXPECT_EQ(1, form().PopupMenu2.DrawStyle);
    EXPECT_EQ(32, form().PopupMenu2.IconSize);
    EXPECT_TRUE(form().PopupMenu2.ScrollTallSubmenus);
}

} // namespace
} // namespace tolvern
