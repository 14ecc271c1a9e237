// The settings dialog on a started settings form: the real dialog, its page control and the
// My Menu page, every operation checked on the list, the launcher menu (items 10 + i) and the
// status bar; shown modally with the hot key off; a screenshot for a person to look at.
#include "app/settings_form.h"
#include "base/text.h"
#include "settings/settings_dialog_ids.h"
#include "support/caption_fit.h"
#include "support/dialog_sizes.h"
#include "support/default_settings.h"
#include "support/drop_files.h"
#include "support/message_box_answer.h"
#include "support/screen_capture.h"
#include "support/started_launcher.h"
#include "support/test_files.h"
#include "support/tray_probe.h"
#include "support/while_modal.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <map>
#include <thread>

namespace tolvern {
namespace {

using namespace test;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

constexpr int kFirstEntry = 10;

std::wstring ListText(HWND list, int row, int column) {
    wchar_t text[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

class SettingsDialog : public testing::Test {
protected:
    void Start(const std::vector<MyMenuEntry>& entries) {
        StoreEntries(key, entries);
        launcher = std::make_unique<StartedLauncher>(key);
    }
    TForm2& form() { return launcher->form2; }
    TMyMenuPage& page() { return *form().MyMenuPage; }
    HWND list() { return page().ListView1(); }

    // The list's rows (caption, path).
    Rows ListRows() {
        Rows rows;
        const int n = static_cast<int>(::SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            rows.emplace_back(ListText(list(), i, 0), ListText(list(), i, 1));
        return rows;
    }
    // The launcher menu's entry items: from position 10 up to the separator before Settings.
    std::vector<std::wstring> MenuEntries() {
        const TMenuItem& top = form().PopupMenu2.Items;
        std::vector<std::wstring> captions;
        for (int i = kFirstEntry; i < top.Count() - 4; ++i)
            captions.push_back(top.Items(i)->Caption);
        return captions;
    }
    // Checks the list and the menu against the same entries, and the status bar's count.
    void ExpectEntries(const Rows& rows) {
        EXPECT_EQ(rows, ListRows());
        std::vector<std::wstring> menu;
        for (const auto& [caption, path] : rows) {
            std::wstring doubled;
            for (wchar_t c : caption)
                doubled += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
            menu.push_back(doubled);
        }
        EXPECT_EQ(menu, MenuEntries());
        EXPECT_EQ(std::to_wstring(rows.size()) + L" 個の項目", page().StatusText(0));
        EXPECT_EQ(rows.empty(), form().Menu.mnuPopupNoItem->Visible);
    }
    void Select(std::initializer_list<int> rows) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&state));
        for (int row : rows) {
            state.state = LVIS_SELECTED;
            ::SendMessageW(list(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
        }
    }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int i = -1; (i = static_cast<int>(
                              ::SendMessageW(list(), LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
            rows.push_back(i);
        return rows;
    }
    // cmdUp, mnuUp, cmdDown, mnuDown, cmdRemove, mnuOpen, mnuRename, mnuProperty,
    // mnuFileProperty, mnuSelectAll, drag.
    std::vector<bool> Commands() {
        TMyMenuPage& p = page();
        auto enabled = [&](int id) { return ::IsWindowEnabled(p.Item(id)) != FALSE; };
        return {enabled(IDC_CMDUP),      p.mnuUp->Enabled,       enabled(IDC_CMDDOWN),
                p.mnuDown->Enabled,      enabled(IDC_CMDREMOVE), p.mnuOpen->Enabled,
                p.mnuRename->Enabled,    p.mnuProperty->Enabled, p.mnuFileProperty->Enabled,
                p.mnuSelectAll->Enabled, p.RowDragEnabled()};
    }
    POINT RowCentre(int row) {
        RECT rect{LVIR_BOUNDS, 0, 0, 0};
        ::SendMessageW(list(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    ScratchKey key;
    std::unique_ptr<StartedLauncher> launcher;
};

Rows Entries(int n) {
    Rows rows;
    for (int i = 0; i < n; ++i)
        rows.emplace_back(L"R" + std::to_wstring(i), L"C:\\r" + std::to_wstring(i) + L".txt");
    return rows;
}

std::vector<MyMenuEntry> Stored(const Rows& rows) {
    std::vector<MyMenuEntry> entries;
    for (const auto& [caption, path] : rows)
        entries.push_back({caption, path});
    return entries;
}

TEST_F(SettingsDialog, IsANativeDialogWithFourPagesThatReopensOnTheLastPage) {
    Start({{L"メモ帳", L"C:\\windows\\notepad.exe"}});
    HWND dialog = form().Handle();
    EXPECT_EQ(L"TForm2", WindowClassName(dialog));
    const LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    RECT client{}, window{};
    ::GetClientRect(dialog, &client);
    ::GetWindowRect(dialog, &window);
    std::printf("client area %ld x %ld\n", client.right, client.bottom);
    EXPECT_EQ(504, client.right);
    EXPECT_EQ(355, client.bottom);
    // Centred on the screen of the primary monitor.
    EXPECT_EQ((1024 - (window.right - window.left)) / 2, window.left);
    EXPECT_EQ((768 - (window.bottom - window.top)) / 2, window.top);

    TPageControl& pages = *form().PageControl1;
    EXPECT_EQ(L"SysTabControl32", WindowClassName(pages.Handle()));
    std::vector<std::wstring> tabs;
    for (int i = 0; i < pages.PageCount(); ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(pages.Handle(), TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        tabs.push_back(text);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"マイメニュー", L"全般", L"起動", L"外見"}), tabs);
    EXPECT_EQ(L"閉じる(&C)", WindowText(form().cmdClose()));
    EXPECT_EQ(L"SysListView32", WindowClassName(list()));
    EXPECT_EQ(L"msctls_statusbar32", WindowClassName(page().StatusBar1()));
    EXPECT_EQ(L"現在登録されている項目(&I):", WindowText(page().Item(IDC_MYMENU_LABEL)));
    const std::vector<std::pair<int, std::wstring>> buttons = {
        {IDC_CMDADDFILEICON, L"ファイル(&A)..."},
        {IDC_CMDADDFOLDERICON, L"フォルダ(&O)..."},
        {IDC_CMDUP, L"上へ(&U)"},
        {IDC_CMDDOWN, L"下へ(&D)"},
        {IDC_CMDREMOVE, L"削除(&E)"}};
    for (const auto& [id, caption] : buttons)
        EXPECT_EQ(caption, WindowText(page().Item(id)));
    const DWORD listStyle = static_cast<DWORD>(::GetWindowLongPtrW(list(), GWL_STYLE));
    EXPECT_EQ(
        static_cast<DWORD>(LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_NOSORTHEADER),
        listStyle &
            (LVS_TYPEMASK | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_NOSORTHEADER | LVS_SINGLESEL));
    std::vector<std::wstring> columns;
    for (int i = 0; i < 2; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 64;
        ::SendMessageW(list(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        columns.push_back(text);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"キャプション", L"パス"}), columns);
    std::vector<std::wstring> menu;
    for (int i = 0; i < page().PopupMenu1.Items.Count(); ++i)
        menu.push_back(page().PopupMenu1.Items.Items(i)->Caption);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"開く(&O)\tEnter", L"-", L"すべて選択(&A)\tCtrl+A", L"-", L"上へ(&U)\tCtrl+Up",
                  L"下へ(&D)\tCtrl+Down", L"-", L"削除(&E)\tDel", L"キャプション変更(&M)\tF2", L"-",
                  L"リンク先のプロパティ(&P)", L"プロパティ(&R)\tAlt+Enter"}),
              menu);
    EXPECT_TRUE(page().mnuOpen->Default);

    // Every caption fits its control in the dialog's own font: nothing Japanese is clipped.
    for (const auto& [id, caption] : buttons)
        EXPECT_TRUE(CaptionFits(page().Item(id), 6)) << id;
    EXPECT_TRUE(CaptionFits(page().Item(IDC_MYMENU_LABEL), 0));
    EXPECT_TRUE(CaptionFits(form().cmdClose(), 6));

    // Keys reach the page before the dialog manager: Ctrl+Tab changes the page, the list's
    // own keys act on it, Enter in the caption editor is the editor's.
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(pages.PreTranslateMessage(MSG{list(), WM_KEYDOWN, VK_TAB, 0, 0, {}}));
    EXPECT_EQ(1, pages.ActivePageIndex());
    auto shown = [](const TDialogPage& p) {
        return (::GetWindowLongPtrW(p.Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    EXPECT_TRUE(shown(*form().GeneralPage));
    EXPECT_FALSE(shown(page()));
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(pages.PreTranslateMessage(MSG{list(), WM_KEYDOWN, VK_TAB, 0, 0, {}}));
    EXPECT_EQ(0, pages.ActivePageIndex());
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_FALSE(pages.PreTranslateMessage(MSG{list(), WM_KEYDOWN, VK_TAB, 0, 0, {}}));
    Select({0});
    EXPECT_TRUE(page().PreTranslateMessage(MSG{list(), WM_KEYDOWN, VK_F2, 0, 0, {}}));
    HWND editor = reinterpret_cast<HWND>(::SendMessageW(list(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, editor);
    ::SetWindowTextW(editor, L"メモ帳2");
    EXPECT_TRUE(page().PreTranslateMessage(MSG{editor, WM_KEYDOWN, VK_RETURN, 0, 0, {}}));
    EXPECT_FALSE(page().Editing());
    EXPECT_EQ(L"メモ帳2", form().PopupMenu2.Items.Items(kFirstEntry)->Caption);
    EXPECT_FALSE(page().PreTranslateMessage(MSG{list(), WM_KEYDOWN, 'X', 0, 0, {}}));

    // Shown modally: the hot key is free meanwhile, other windows take no input, the page
    // chosen stays chosen; the hide registers the hot key again and saves.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                   nullptr, nullptr, nullptr, nullptr);
    bool hotKeyFree = false, otherDisabled = false, pageShown = false;
    int shownPage = -1;
    {
        WhileModal steps({[&] {
                              hotKeyFree = ::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'L');
                              ::UnregisterHotKey(nullptr, 7);
                              otherDisabled = !::IsWindowEnabled(other);
                              form().PageControl1->SetActivePageIndex(2);
                          },
                          [&] { ::PostMessageW(form().cmdClose(), BM_CLICK, 0, 0); }});
        form().ShowModal();
    }
    EXPECT_FALSE(form().IsVisible());
    EXPECT_TRUE(hotKeyFree);
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(::IsWindowEnabled(other));
    EXPECT_FALSE(::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'L'));
    EXPECT_EQ(L"1", key.GetString(kSettingSection, L"MenuCount"));
    EXPECT_EQ(L"メモ帳2", key.GetString(kMyMenuSection, L"Caption0"));
    {
        WhileModal steps({[&] {
                              shownPage = form().PageControl1->ActivePageIndex();
                              pageShown = form().StartupPage->IsShowing();
                          },
                          [&] { ::PostMessageW(form().Handle(), WM_COMMAND, IDCANCEL, 0); }});
        form().ShowModal();
    }
    EXPECT_EQ(2, shownPage);
    EXPECT_TRUE(pageShown);
    EXPECT_FALSE(form().IsVisible());
    ::DestroyWindow(other);
}

TEST_F(SettingsDialog, AHideSentFromAnotherThreadSavesAndRegistersTheHotKeyAtOnce) {
    Start({{L"Notepad", L"C:\\windows\\notepad.exe"}});
    // Options changed while the dialog is open reach the registry only with the hide's save.
    form().SetShowHintFrom(350);
    form().SetMenuBannerWidth(40);
    form().SetHotKeyShortCut(kShortCutCtrl | kShortCutAlt | VK_F11);
    std::map<std::wstring, std::wstring> expected;
    for (const auto& [name, text] : DefaultSettingTexts(ProgramDirectory()))
        expected[name] = text;
    expected[L"ShowHintFrom"] = L"350";
    expected[L"MenuBannerWidth"] = L"40";
    expected[L"HotKey"] = L"Ctrl+Alt+F11";
    expected[L"MenuCount"] = L"1";

    // What an accessibility tool does: a click sent from another thread, and no input after it.
    HWND dialog = form().Handle(), close = form().cmdClose();
    bool savedInTime = false;
    std::thread tool([&] {
        PumpUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 5000);
        ::SendMessageW(close, BM_CLICK, 0, 0);
        savedInTime = PumpUntil([&] { return key.Texts(kSettingSection) == expected; }, 500);
        ::PostMessageW(dialog, WM_NULL, 0, 0); // lets a loop that missed the hide end the test
    });
    form().ShowModal();
    tool.join();
    EXPECT_TRUE(savedInTime) << "the hide did not save at once";
    EXPECT_EQ(expected, key.Texts(kSettingSection));
    EXPECT_FALSE(::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F11))
        << "the hide did not register the hot key";
}

TEST_F(SettingsDialog, RemovesSelectedRowsTopDownAfterConfirmation) {
    Start({{L"A", L"C:\\a"}, {L"B", L"C:\\b"}, {L"C", L"C:\\c"}, {L"D", L"C:\\d"}});
    EXPECT_EQ(L"0 個の項目を選択", page().StatusText(1));
    Select({0, 2, 3});
    EXPECT_EQ(L"3 個の項目を選択", page().StatusText(1));
    // Several rows: only removal.
    EXPECT_EQ((std::vector<bool>{false, false, false, false, true, false, false, false, false, true,
                                 false}),
              Commands());

    BoxSeen seen;
    std::thread answer = AnswerMessageBox(IDNO, seen);
    page().cmdRemoveClick();
    answer.join();
    EXPECT_EQ(L"[マイメニュー] 項目を削除してもよろしいですか?", seen.text);
    ExpectEntries({{L"A", L"C:\\a"}, {L"B", L"C:\\b"}, {L"C", L"C:\\c"}, {L"D", L"C:\\d"}});
    EXPECT_EQ((std::vector<int>{0, 2, 3}), Selected());

    answer = AnswerMessageBox(IDYES, seen);
    page().cmdRemoveClick();
    answer.join();
    ExpectEntries({{L"B", L"C:\\b"}});
    EXPECT_EQ(L"0 個の項目を選択", page().StatusText(1));
    EXPECT_TRUE(page().mnuSelectAll->Enabled);

    page().mnuSelectAllClick();
    EXPECT_EQ(std::vector<int>{0}, Selected());
    answer = AnswerMessageBox(IDYES, seen);
    EXPECT_TRUE(page().ListView1KeyDown(VK_DELETE, false, false));
    answer.join();
    ExpectEntries({});
    EXPECT_FALSE(page().mnuSelectAll->Enabled);
    EXPECT_EQ((std::vector<bool>(11, false)), Commands());
}

TEST_F(SettingsDialog, DropsAddNewPathsWithoutShortcutExtensionsAndSave) {
    Start({{L"Notes", L"C:\\Tools\\notes.txt"}});
    const std::wstring longPath = L"C:\\" + std::wstring(280, L'x') + L"\\長い名前.txt";
    PostDropFiles(list(),
                  {L"C:\\Tools\\Editor.LNK", L"C:\\Tools\\notes.txt", L"C:\\TOOLS\\NOTES.TXT",
                   L"C:\\Web\\Site.url", longPath, L"C:\\한글\\ā.doc"},
                  POINT{3, 4});
    ASSERT_TRUE(PumpUntil([&] { return ListRows().size() == 6; }, 3000));
    const Rows expected = {{L"Notes", L"C:\\Tools\\notes.txt"},
                           {L"Editor", L"C:\\Tools\\Editor.LNK"},
                           {L"NOTES.TXT", L"C:\\TOOLS\\NOTES.TXT"},
                           {L"Site", L"C:\\Web\\Site.url"},
                           {L"長い名前.txt", longPath},
                           {L"ā.doc", L"C:\\한글\\ā.doc"}};
    ExpectEntries(expected);
    EXPECT_EQ(L"6", key.GetString(kSettingSection, L"MenuCount")) << "saved after the drop";
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].first,
                  key.GetString(kMyMenuSection, L"Caption" + std::to_wstring(i)));
        EXPECT_EQ(expected[i].second, key.GetString(kMyMenuSection, L"Path" + std::to_wstring(i)));
    }
}

TEST_F(SettingsDialog, AddsFilesWithTheirExtensionAndFoldersByTheirLastName) {
    Start({});
    EXPECT_EQ(L"0 個を選択", page().StatusText(1));
    std::wstring filesFrom, folderFrom;
    page().ChooseFiles = [&](const std::wstring& dir) {
        filesFrom = dir;
        return std::vector<std::wstring>{L"C:\\Tools\\Editor.LNK", L"C:\\Tools\\a&b.txt"};
    };
    page().ChooseFolder = [&](const std::wstring& dir, std::wstring& chosen) {
        folderFrom = dir;
        chosen = L"C:\\";
        return true;
    };
    page().cmdAddFileIconClick();
    EXPECT_EQ(ProgramDirectory(), filesFrom);
    page().cmdAddFolderIconClick();
    EXPECT_EQ(L"C:\\Tools", folderFrom);
    page().ChooseFolder = [](const std::wstring&, std::wstring& chosen) {
        chosen = L"C:\\windows\\system32";
        return true;
    };
    page().cmdAddFolderIconClick();
    page().ChooseFolder = [](const std::wstring&, std::wstring&) { return false; };
    page().cmdAddFolderIconClick();
    page().ChooseFiles = [](const std::wstring&) { return std::vector<std::wstring>{}; };
    page().cmdAddFileIconClick();
    ExpectEntries({{L"Editor.LNK", L"C:\\Tools\\Editor.LNK"},
                   {L"a&b.txt", L"C:\\Tools\\a&b.txt"},
                   {L"C:\\", L"C:\\"},
                   {L"system32", L"C:\\windows\\system32"}});
    EXPECT_EQ(L"C:\\windows\\system32", form().LastOpenedDir());
    EXPECT_TRUE(page().mnuSelectAll->Enabled);
}

TEST_F(SettingsDialog, UpAndDownFollowTheSelectionAndMoveTheMenuItemAlong) {
    Start({{L"only", L"C:\\only"}});
    Select({0});
    EXPECT_EQ(
        (std::vector<bool>{false, false, false, false, true, true, true, true, false, true, true}),
        Commands());
    launcher.reset();

    Start(Stored(Entries(3)));
    auto upDown = [&] {
        const std::vector<bool> commands = Commands();
        return std::vector<bool>(commands.begin(), commands.begin() + 4);
    };
    Select({1});
    EXPECT_EQ((std::vector<bool>{true, true, true, true}), upDown());
    Select({2});
    EXPECT_EQ((std::vector<bool>{true, true, false, false}), upDown());
    Select({0});
    EXPECT_EQ((std::vector<bool>{false, false, true, true}), upDown());
    page().cmdDownClick();
    Rows rows = Entries(3);
    std::swap(rows[0], rows[1]);
    ExpectEntries(rows);
    EXPECT_EQ(std::vector<int>{1}, Selected());
    EXPECT_EQ(1, ::SendMessageW(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    EXPECT_TRUE(page().ListView1KeyDown(VK_UP, true, false)); // Ctrl+Up
    ExpectEntries(Entries(3));
    EXPECT_EQ(std::vector<int>{0}, Selected());
    EXPECT_FALSE(page().ListView1KeyDown(VK_UP, true, false)) << "already at the top";
}

TEST_F(SettingsDialog, DraggingARowMovesItOntoTheTargetRow) {
    Start(Stored(Entries(6)));
    Select({1});
    page().ListView1DragDrop(list(), RowCentre(4));
    const Rows moved = {Entries(6)[0], Entries(6)[2], Entries(6)[3],
                        Entries(6)[4], Entries(6)[1], Entries(6)[5]};
    ExpectEntries(moved);
    EXPECT_EQ(std::vector<int>{4}, Selected());
    page().ListView1DragDrop(list(), RowCentre(1)); // row 4 onto 1: back as it was
    ExpectEntries(Entries(6));
    EXPECT_EQ(std::vector<int>{1}, Selected());
    page().ListView1DragDrop(list(), RowCentre(4));
    page().ListView1DragDrop(list(), RowCentre(4)); // onto itself: nothing
    RECT client{};
    ::GetClientRect(list(), &client);
    page().ListView1DragDrop(list(), POINT{10, client.bottom - 3}); // empty space: nothing
    ExpectEntries(moved);
    page().ListView1DragDrop(form().cmdClose(), RowCentre(0)); // not from a list: nothing
    EXPECT_EQ(std::vector<int>{4}, Selected());

    // The list starts a drag only while one row is selected.
    NMLISTVIEW begin{};
    begin.hdr = {list(), IDC_LISTVIEW1, static_cast<UINT>(LVN_BEGINDRAG)};
    begin.iItem = 4;
    ::SendMessageW(page().Handle(), WM_NOTIFY, IDC_LISTVIEW1, reinterpret_cast<LPARAM>(&begin));
    EXPECT_EQ(page().Handle(), ::GetCapture());
    ::ReleaseCapture();
    Select({1, 2});
    ::SendMessageW(page().Handle(), WM_NOTIFY, IDC_LISTVIEW1, reinterpret_cast<LPARAM>(&begin));
    EXPECT_EQ(nullptr, ::GetCapture());
}

// The edges of the list: the last row up into the row above and down again into the last
// place, dragged onto the first row and back, in lists of one, two and five rows.
TEST_F(SettingsDialog, TheLastAndFirstRowsMoveAndDragInListsOfOneTwoAndFive) {
    for (int n : {1, 2, 5}) {
        SCOPED_TRACE(n);
        Start(Stored(Entries(n)));
        const Rows original = Entries(n);
        auto step = [&](const Rows& rows, int selected) {
            ExpectEntries(rows);
            EXPECT_EQ(std::vector<int>{selected}, Selected());
            EXPECT_FALSE(form().TerminatedByException);
        };
        const int last = n - 1;
        Rows up = original;
        std::swap(up[last], up[std::max(last - 1, 0)]);
        Rows top = original;
        std::rotate(top.begin(), top.end() - 1, top.end());

        Select({last});
        page().cmdUpClick();
        step(up, std::max(last - 1, 0));
        page().cmdDownClick();
        step(original, last);
        page().ListView1DragDrop(list(), RowCentre(0));
        step(top, 0);
        const std::vector<bool> commands = Commands();
        EXPECT_EQ((std::vector<bool>{false, false, n > 1, n > 1}),
                  std::vector<bool>(commands.begin(), commands.begin() + 4));
        page().ListView1DragDrop(list(), RowCentre(last));
        step(original, last);
        Select({0});
        EXPECT_FALSE(page().ListView1KeyDown(VK_UP, true, false));
        step(original, 0);
    }

    // A row that the entries do not know is no shortcut, wherever it stands.
    LVITEMW stray{};
    stray.mask = LVIF_TEXT;
    stray.iItem = 5;
    stray.pszText = const_cast<wchar_t*>(L"stray");
    ASSERT_EQ(5, ::SendMessageW(list(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&stray)));
    Select({5});
    EXPECT_FALSE(form().TerminatedByException);
    EXPECT_FALSE(page().mnuFileProperty->Enabled);
    ::SendMessageW(list(), LVM_DELETEITEM, 5, 0);
}

TEST_F(SettingsDialog, RenamingRefusesAnEmptyCaptionAndDoublesAmpersandsInTheMenu) {
    Start({{L"old", L"C:\\old"}, {L"other", L"C:\\other"}});
    auto edit = [&](const std::wstring& text) {
        Select({0});
        EXPECT_TRUE(page().ListView1KeyDown(VK_F2, false, false));
        HWND box = reinterpret_cast<HWND>(::SendMessageW(list(), LVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(nullptr, box);
        EXPECT_TRUE(page().Editing());
        ::SetWindowTextW(box, text.c_str());
        ::SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    };
    BoxSeen seen;
    std::thread answer = AnswerMessageBox(IDOK, seen);
    edit(L"");
    answer.join();
    EXPECT_EQ(L"キャプションが不正です。", seen.text);
    ExpectEntries({{L"old", L"C:\\old"}, {L"other", L"C:\\other"}});
    edit(L"A&B");
    ExpectEntries({{L"A&B", L"C:\\old"}, {L"other", L"C:\\other"}});
    EXPECT_EQ(L"A&&B", form().PopupMenu2.Items.Items(kFirstEntry)->Caption);
    edit(L"   ");
    ExpectEntries({{L"   ", L"C:\\old"}, {L"other", L"C:\\other"}});
    Select({0, 1});
    EXPECT_FALSE(page().ListView1KeyDown(VK_F2, false, false)) << "only one row is renamed";
    EXPECT_FALSE(page().Editing());
}

TEST_F(SettingsDialog, LinkTargetPropertiesOnlyForShortcutsAndOpenChecksThePath) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"dialog_links";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring url = dir + L"\\site.url", lnk = dir + L"\\notes.lnk";
    MakeInternetShortcut(url, L"http://example.com/");
    MakeShortcut(lnk, L"C:\\windows\\notepad.exe");
    Start({{L"site", url}, {L"notes", lnk}, {L"gone", L"C:\\gone.exe"}});
    // What the shell is asked (Wine shows no properties dialogs).
    std::vector<std::wstring> asked;
    form().Activation.ShellExecute = [&](SHELLEXECUTEINFOW& info) {
        std::wstring path = info.lpFile ? info.lpFile : L"";
        if (info.lpIDList) {
            wchar_t buffer[MAX_PATH] = {};
            ::SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(info.lpIDList), buffer);
            path = std::wstring(L"list:") + buffer;
        }
        const bool verb = info.lpVerb && *info.lpVerb;
        asked.push_back(std::wstring(verb ? info.lpVerb : L"open") + L" " + path);
        return TRUE;
    };
    Select({0});
    EXPECT_FALSE(page().mnuFileProperty->Enabled);
    Select({1});
    EXPECT_TRUE(page().mnuFileProperty->Enabled);
    page().mnuFilePropertyClick();
    EXPECT_TRUE(page().ListView1KeyDown(VK_RETURN, false, true)); // Alt+Enter
    page().mnuOpenClick();
    EXPECT_EQ((std::vector<std::wstring>{L"properties list:C:\\windows\\notepad.exe",
                                         L"properties " + lnk, L"open list:" + lnk}),
              asked);
    Select({2});
    EXPECT_FALSE(page().mnuFileProperty->Enabled);
    BoxSeen seen;
    std::thread answer = AnswerMessageBox(IDOK, seen);
    EXPECT_TRUE(page().ListView1KeyDown(VK_RETURN, false, false));
    answer.join();
    EXPECT_EQ(L"'C:\\gone.exe' を開けません。ファイルがあるかどうか確認してください。", seen.text);
    answer = AnswerMessageBox(IDOK, seen);
    page().mnuFilePropertyClick();
    answer.join();
    EXPECT_EQ(
        L"ショートカット 'C:\\gone.exe' を開けません。ファイルがあるかどうか確認してください。",
        seen.text);
    launcher.reset();
    ::DeleteFileW(url.c_str());
    ::DeleteFileW(lnk.c_str());
    ::RemoveDirectoryW(dir.c_str());
}

// Where the dialog's controls are and which font they have, over the frame and every page.
struct ControlSizes {
    std::vector<RECT> places;
    std::vector<int> fonts;
    bool operator==(const ControlSizes& other) const {
        return fonts == other.fonts &&
               std::equal(places.begin(), places.end(), other.places.begin(), other.places.end(),
                          [](const RECT& a, const RECT& b) { return ::EqualRect(&a, &b); });
    }
    friend void PrintTo(const ControlSizes& sizes, std::ostream* out) {
        for (const RECT& r : sizes.places)
            *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ") ";
        *out << "fonts " << testing::PrintToString(sizes.fonts);
    }
};

ControlSizes SizesOfControls(const std::vector<HWND>& parents) {
    ControlSizes sizes;
    for (HWND parent : parents)
        for (HWND child = ::GetWindow(parent, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (WindowClassName(child) == L"#32770")
                continue; // a page: laid over the tab's display area
            RECT place = RectInParent(child);
            // A combo box is placed with the height of its open list.
            if (WindowClassName(child) == L"ComboBox") {
                RECT dropped{};
                ::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0,
                               reinterpret_cast<LPARAM>(&dropped));
                place.bottom = place.top + dropped.bottom - dropped.top;
            }
            sizes.places.push_back(place);
            if (const int height = FontHeight(child))
                sizes.fonts.push_back(height);
        }
    return sizes;
}

RECT Scaled3Over2(const RECT& r) {
    return RECT{::MulDiv(r.left, 3, 2), ::MulDiv(r.top, 3, 2), ::MulDiv(r.right, 3, 2),
                ::MulDiv(r.bottom, 3, 2)};
}

TEST_F(SettingsDialog, AChangeOfDpiTakesTheSuggestedRectAndScalesFontsPlacesColumnsAndParts) {
    Start({{L"メモ帳", L"C:\\windows\\notepad.exe"}});
    HWND dialog = form().Handle();
    TAppearancePage& appearance = *form().AppearancePage;
    const std::vector<HWND> optionPages = {form().GeneralPage->Handle(),
                                           form().StartupPage->Handle(), appearance.Handle()};
    auto allPages = [&] {
        std::vector<HWND> windows = optionPages;
        windows.insert(windows.begin(), page().Handle());
        return windows;
    };
    RECT window{};
    ::GetWindowRect(dialog, &window);
    const ControlSizes frameAt96 = SizesOfControls({dialog});
    const ControlSizes optionsAt96 = SizesOfControls(optionPages);
    const ControlSizes pagesAt96 = SizesOfControls(allPages());
    ASSERT_EQ((std::pair{504, 355}), ClientSize(dialog));
    EXPECT_EQ((std::vector<int>{125, 500}), ColumnWidths(list()));
    EXPECT_EQ((std::vector<int>{100, -1}), StatusParts(page().StatusBar1()));
    EXPECT_EQ(std::vector<int>(frameAt96.fonts.size(), -12), frameAt96.fonts);
    EXPECT_EQ(std::vector<int>(pagesAt96.fonts.size(), -12), pagesAt96.fonts);
    EXPECT_EQ(14, ::SendMessageW(appearance.cmbUpperColor.Handle(), CB_GETITEMHEIGHT, 0, 0));

    // To a monitor at 150%: the rectangle the system suggests gives the client area 756 x 533.
    const int frameWidth = window.right - window.left - 504;
    const int frameHeight = window.bottom - window.top - 355;
    RECT suggested{40, 30, 40 + 756 + frameWidth, 30 + 533 + frameHeight};
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT moved{};
    ::GetWindowRect(dialog, &moved);
    EXPECT_TRUE(::EqualRect(&suggested, &moved));
    EXPECT_EQ((std::pair{756, 533}), ClientSize(dialog));
    EXPECT_EQ((std::vector<int>{188, 750}), ColumnWidths(list()));
    EXPECT_EQ((std::vector<int>{150, -1}), StatusParts(page().StatusBar1()));
    EXPECT_EQ(21, ::SendMessageW(appearance.cmbUpperColor.Handle(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(21, ::SendMessageW(appearance.cmbBottomColor.Handle(), CB_GETITEMHEIGHT, 0, 0));
    for (TDialogPage* each : std::initializer_list<TDialogPage*>{
             &page(), form().GeneralPage.get(), form().StartupPage.get(), &appearance})
        EXPECT_EQ(144, each->Dpi());
    // Every control has the font for 144 DPI, and the places of 96 DPI times 3/2 (the frame's
    // and those of the option pages; on My Menu the list then takes what the page gained).
    const ControlSizes frameAt144 = SizesOfControls({dialog});
    EXPECT_EQ(std::vector<int>(frameAt144.fonts.size(), -18), frameAt144.fonts);
    const ControlSizes pagesAt144 = SizesOfControls(allPages());
    EXPECT_EQ(std::vector<int>(pagesAt144.fonts.size(), -18), pagesAt144.fonts);
    ControlSizes expected = frameAt96;
    for (RECT& place : expected.places)
        place = Scaled3Over2(place);
    expected.fonts = frameAt144.fonts;
    EXPECT_EQ(expected, frameAt144);
    expected = optionsAt96;
    for (RECT& place : expected.places)
        place = Scaled3Over2(place);
    expected.fonts = std::vector<int>(expected.fonts.size(), -18);
    EXPECT_EQ(expected, SizesOfControls(optionPages));
    // Each page lies below the tabs, within the page control, and its controls within the page;
    // nothing Japanese is clipped.
    const RECT tabs = RectInParent(form().PageControl1->Handle());
    RECT firstTab{};
    ::SendMessageW(form().PageControl1->Handle(), TCM_GETITEMRECT, 0,
                   reinterpret_cast<LPARAM>(&firstTab));
    for (HWND each : allPages()) {
        const RECT place = RectInParent(each);
        EXPECT_TRUE(place.left > tabs.left && place.top >= tabs.top + firstTab.bottom &&
                    place.right < tabs.right && place.bottom < tabs.bottom);
        const auto [width, height] = ClientSize(each);
        for (HWND child = ::GetWindow(each, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (!(::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE))
                continue;
            const RECT r = RectInParent(child);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height)
                << ::GetDlgCtrlID(child);
            const std::wstring className = WindowClassName(child);
            if (className == L"Button" || className == L"Static") {
                EXPECT_TRUE(CaptionFits(child)) << ::GetDlgCtrlID(child);
            }
        }
    }
    EXPECT_TRUE(CaptionFits(form().cmdClose(), 6));
    // The status bar lies along the page's bottom in its new font.
    EXPECT_EQ(ClientSize(page().Handle()).second, RectInParent(page().StatusBar1()).bottom);

    // Back to 96 DPI in the window's first place: everything as it was.
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&window));
    ::GetWindowRect(dialog, &moved);
    EXPECT_TRUE(::EqualRect(&window, &moved));
    EXPECT_EQ((std::pair{504, 355}), ClientSize(dialog));
    EXPECT_EQ((std::vector<int>{125, 500}), ColumnWidths(list()));
    EXPECT_EQ((std::vector<int>{100, -1}), StatusParts(page().StatusBar1()));
    EXPECT_EQ(14, ::SendMessageW(appearance.cmbUpperColor.Handle(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(frameAt96, SizesOfControls({dialog}));
    EXPECT_EQ(pagesAt96, SizesOfControls(allPages()));
}

TEST_F(SettingsDialog, Screenshot) {
    Start({{L"メモ帳", L"C:\\windows\\notepad.exe"},
           {L"Windows フォルダ", L"C:\\windows"},
           {L"Command & Control", L"C:\\windows\\system32\\cmd.exe"},
           {L"設定ファイル.ini", L"C:\\windows\\win.ini"}});
    Select({1});
    // The program's form takes the application's title, which this test's application lacks.
    ::SetWindowTextW(form().Handle(), kApplicationTitle);
    Image shot;
    {
        WhileModal steps({[] {}, [] {},
                          [&] {
                              RECT rect{};
                              ::GetWindowRect(form().Handle(), &rect);
                              shot = CaptureScreen(&rect);
                          },
                          [&] { ::PostMessageW(form().cmdClose(), BM_CLICK, 0, 0); }});
        form().ShowModal();
    }
    ASSERT_GT(shot.width, 0);
    EXPECT_FALSE(SaveArtifact(shot, L"settings_dialog_mymenu").empty());
}

} // namespace
} // namespace tolvern
