// The settings dialog with its pages, the About box and the name dialog on a 150% screen: made
// from their templates for 144 DPI, what the program sizes in pixels at 3/2 of its 96-DPI size,
// every caption whole; the banner font's stored height keeps its meaning at 96 DPI. Screenshots
// of each are kept in the artifacts folder.
#include "app/settings_form.h"
#include "base/text.h"
#include "components/name_dialog.h"
#include "settings/about_box.h"
#include "settings/dialog_ids.h"
#include "settings/settings_dialog_ids.h"
#include "support/caption_fit.h"
#include "support/dialog_sizes.h"
#include "support/font_dialog_answer.h"
#include "support/screen_capture.h"
#include "support/started_launcher.h"
#include "support/while_modal.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <thread>

namespace tolvern {
namespace {

using namespace test;

// Every visible control lies within its parent's client area and shows its caption whole.
void ExpectControlsFit(HWND parent) {
    const auto [width, height] = ClientSize(parent);
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE) || WindowClassName(child) == L"#32770")
            continue;
        const RECT r = RectInParent(child);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height)
            << ::GetDlgCtrlID(child);
        const std::wstring className = WindowClassName(child);
        const bool pushButton = className == L"Button" && ((style & 0x0F) == BS_PUSHBUTTON ||
                                                           (style & 0x0F) == BS_DEFPUSHBUTTON);
        const bool text =
            className == L"Button" || (className == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT);
        if (text) {
            EXPECT_TRUE(CaptionFits(child, pushButton ? 6 : 0))
                << ::GetDlgCtrlID(child) << " " << testing::PrintToString(WindowText(child));
        }
    }
}

// The heights of the fonts of the window's controls that have one.
std::vector<int> ControlFonts(HWND parent) {
    std::vector<int> heights;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (const int height = FontHeight(child))
            heights.push_back(height);
    return heights;
}

class HiDpiDialogs : public testing::Test {
protected:
    void Start() {
        StoreEntries(
            key, {{L"メモ帳", L"C:\\windows\\notepad.exe"}, {L"Windows フォルダ", L"C:\\windows"}});
        launcher = std::make_unique<StartedLauncher>(key);
    }
    TForm2& form() { return launcher->form2; }

    ScratchKey key;
    std::unique_ptr<StartedLauncher> launcher;
};

TEST_F(HiDpiDialogs, TheSettingsDialogAndItsPagesAreSizedFor144WithNothingClipped) {
    Start();
    HWND dialog = form().Handle();
    TMyMenuPage& myMenu = *form().MyMenuPage;
    TAppearancePage& appearance = *form().AppearancePage;
    const std::vector<TDialogPage*> pages = {&myMenu, form().GeneralPage.get(),
                                             form().StartupPage.get(), &appearance};
    // 504 x 355 at 96 DPI, grown as the pages' dialog units (the font's average letter width and
    // cell height), a little more than 3/2: 756 x 533 is too narrow for the pages here.
    EXPECT_EQ((std::pair{792, 546}), ClientSize(dialog));
    EXPECT_EQ((std::vector<int>{188, 750}), ColumnWidths(myMenu.ListView1()));
    EXPECT_EQ((std::vector<int>{150, -1}), StatusParts(myMenu.StatusBar1()));
    EXPECT_EQ(21, ::SendMessageW(appearance.cmbUpperColor.Handle(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(21, ::SendMessageW(appearance.cmbBottomColor.Handle(), CB_GETITEMHEIGHT, 0, 0));
    // The templates' 9-point fonts at 144 DPI.
    std::vector<int> fonts = ControlFonts(dialog);
    EXPECT_EQ(std::vector<int>(fonts.size(), -18), fonts);
    ExpectControlsFit(dialog);
    for (TDialogPage* page : pages) {
        EXPECT_EQ(144, page->Dpi());
        fonts = ControlFonts(page->Handle());
        EXPECT_EQ(std::vector<int>(fonts.size(), -18), fonts)
            << testing::PrintToString(page->Caption());
        ExpectControlsFit(page->Handle());
    }
    // The banner's width shows as stored: pixels at 100%.
    EXPECT_EQ(L"28", WindowText(appearance.Item(IDC_EDTBANNERWIDTH)));

    ::SetWindowTextW(dialog, kApplicationTitle);
    std::vector<Image> shots(pages.size());
    std::vector<std::function<void()>> steps;
    for (size_t i = 0; i < pages.size(); ++i) {
        steps.push_back([&, i] { form().PageControl1->SetActivePageIndex(static_cast<int>(i)); });
        steps.push_back([] {});
        steps.push_back([&, i] {
            RECT rect{};
            ::GetWindowRect(dialog, &rect);
            shots[i] = CaptureScreen(&rect);
        });
    }
    steps.push_back([&] { ::PostMessageW(form().cmdClose(), BM_CLICK, 0, 0); });
    {
        WhileModal modal(steps);
        form().ShowModal();
    }
    const wchar_t* names[] = {L"hidpi_settings_mymenu", L"hidpi_settings_general",
                              L"hidpi_settings_startup", L"hidpi_settings_appearance"};
    for (size_t i = 0; i < pages.size(); ++i) {
        ASSERT_GT(shots[i].width, 0);
        EXPECT_FALSE(SaveArtifact(shots[i], names[i]).empty());
    }
}

TEST_F(HiDpiDialogs, TheBannerFontIsStoredAsAt96AndTheFontDialogShowsItsPoints) {
    Start();
    TAppearancePage& appearance = *form().AppearancePage;
    const auto systemDialog = appearance.FontDialog1;
    std::vector<BannerFontChoice> shown;
    appearance.FontDialog1 = [&](const BannerFontChoice& font) {
        shown.push_back(font);
        return BannerFontChoice{L"ＭＳ Ｐゴシック", 120, 0x0000FF, 0};
    };
    form().SetBannerFont(L"DejaVu Sans", -19, 0xFFFFFF, 0);
    ::SendMessageW(appearance.Item(IDC_CMDSETFONT), BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<BannerFontChoice>{{L"DejaVu Sans", 140, 0xFFFFFF, 0}}), shown);
    EXPECT_EQ(-16, form().Options().BannerFontHeight);

    // The system's font dialog shows the stored -19 at 14 points; OK keeps it as it was.
    appearance.FontDialog1 = systemDialog;
    form().SetBannerFont(L"DejaVu Sans", -19, 0xFFFFFF, 0);
    const std::wstring sizeShown = FontDialogSizeShown(
        [&] { ::SendMessageW(appearance.Item(IDC_CMDSETFONT), BM_CLICK, 0, 0); },
        L"hidpi_font_dialog");
    EXPECT_EQ(L"14", sizeShown);
    EXPECT_EQ(-19, form().Options().BannerFontHeight);
}

TEST(HiDpiAboutBox, IsSizedFor144WithItsProductFontIconAndLinkMarginScaled) {
    Application application;
    application.SetTitle(L"Tolvern Launcher");
    TAboutBox box(application);
    HWND dialog = box.Handle();
    auto item = [dialog](int id) { return ::GetDlgItem(dialog, id); };
    EXPECT_EQ(-24, FontHeight(item(IDC_ABOUT_PRODUCT)));
    LOGFONTW link{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(item(IDC_ABOUT_LINK), WM_GETFONT, 0, 0)),
                 sizeof link, &link);
    EXPECT_EQ(-18, link.lfHeight);
    EXPECT_TRUE(link.lfUnderline);
    for (int id : {IDOK, IDC_ABOUT_VERSION, IDC_ABOUT_NOTICE})
        EXPECT_EQ(-18, FontHeight(item(id))) << id;
    EXPECT_EQ(48, IconWidth(reinterpret_cast<HICON>(
                      ::SendMessageW(item(IDC_ABOUT_ICON), STM_GETICON, 0, 0))));
    const RECT label = RectInParent(item(IDC_ABOUT_LINK));
    const RECT button = RectInParent(item(IDC_ABOUT_LINK_BUTTON));
    EXPECT_EQ((std::vector<LONG>{label.left - 3, label.top - 3, label.right + 3, label.bottom + 3}),
              (std::vector<LONG>{button.left, button.top, button.right, button.bottom}));
    ExpectControlsFit(dialog);

    RECT shown{};
    std::thread shot([&] {
        for (int i = 0; i < 100 && !::IsWindowVisible(dialog); ++i)
            ::Sleep(50);
        ::Sleep(300);
        ::GetWindowRect(dialog, &shown);
        SaveArtifact(CaptureScreen(&shown), L"hidpi_about_box");
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, box.ShowModal());
    shot.join();
    EXPECT_GT(shown.right - shown.left, 0);
}

TEST(HiDpiNameDialog, ShowsItsCaptionsWholeAt144) {
    std::vector<int> fonts;
    bool found = false;
    std::thread answer([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 100 && !(dialog = ::FindWindowW(L"#32770", L"名前の変更")); ++i)
            ::Sleep(50);
        if (!dialog)
            return;
        found = true;
        ::Sleep(300);
        fonts = ControlFonts(dialog);
        ExpectControlsFit(dialog);
        RECT rect{};
        ::GetWindowRect(dialog, &rect);
        SaveArtifact(CaptureScreen(&rect), L"hidpi_name_dialog");
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    std::wstring name = L"メモ.txt";
    EXPECT_FALSE(AskName(nullptr, name));
    answer.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(std::vector<int>(4, -18), fonts);
}

} // namespace
} // namespace tolvern
