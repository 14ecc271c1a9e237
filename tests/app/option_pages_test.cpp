// The option pages "全般", "起動" and "外見" on a started settings form: every control with its
// caption, range and initial state; each change made on the real dialog is seen at the next
// popup of the real launcher menu; the start-up shortcut, the hot-key field, the font dialog's
// conversions, the number fields; the options' round trip through the registry and a restart.
// Screenshots of each page are kept in the artifacts folder.
#include "app/settings_form.h"
#include "base/text.h"
#include "settings/settings_dialog_ids.h"
#include "settings/startup_shortcut.h"
#include "support/menu_driver.h"
#include "support/screen_capture.h"
#include "support/started_launcher.h"
#include "support/user_input.h"

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

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd, text, 512);
    return text;
}

// Runs the steps one after another from inside the dialog's modal loop, the last one closing it.
class ModalSteps {
public:
    explicit ModalSteps(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        ::SetTimer(nullptr, 0, 60, Tick);
    }
    ~ModalSteps() { current_ = nullptr; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (!current_ || current_->next_ >= current_->steps_.size()) {
            ::KillTimer(nullptr, id);
            return;
        }
        current_->steps_[current_->next_++]();
    }
    static inline ModalSteps* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
};

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
        captions.emplace_back(id, TextOf(page.Item(id)));
    return captions;
}

// The caption fits its control in the control's own font: a check box or radio button beside
// its box, a multi-line one within its lines.
bool Fits(HWND control) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    std::wstring text = TextOf(control);
    std::erase(text, L'&');
    RECT client{};
    ::GetClientRect(control, &client);
    wchar_t className[32] = {};
    ::GetClassNameW(control, className, 32);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    const bool box = std::wstring_view(className) == L"Button" &&
                     ((style & 0x0F) == BS_AUTOCHECKBOX || (style & 0x0F) == BS_AUTORADIOBUTTON);
    // The check mark and its gap take this much in front of the text.
    const int lead = box ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0;
    RECT need{0, 0, client.right - lead, 0};
    ::DrawTextW(dc, text.c_str(), -1, &need,
                DT_CALCRECT | ((style & BS_MULTILINE) && box ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return need.right + lead <= client.right && need.bottom <= client.bottom;
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
    EXPECT_EQ(L"msctls_hotkey32", [&] {
        wchar_t name[32] = {};
        ::GetClassNameW(startup().Item(IDC_HOTKEY1), name, 32);
        return std::wstring(name);
    }());
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
            wchar_t className[32] = {};
            ::GetClassNameW(child, className, 32);
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
            if ((std::wstring_view(className) == L"Button" ||
                 std::wstring_view(className) == L"Static") &&
                (::GetWindowLongPtrW(child, GWL_STYLE) & 0x0F) != BS_GROUPBOX)
                EXPECT_TRUE(Fits(child)) << ::GetDlgCtrlID(child);
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
        ModalSteps modal(steps);
        form().ShowModal();
    }
    const wchar_t* names[] = {L"settings_dialog_general", L"settings_dialog_startup",
                              L"settings_dialog_appearance"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_GT(shots[i].width, 0);
        EXPECT_FALSE(SaveArtifact(shots[i], names[i]).empty());
    }
}

} // namespace
} // namespace tolvern
