// The settings dialog's page "外見": the banner's text, font, colours and width, the menu's
// drawing style and the size of the top-level icons.
#include "settings/appearance_page.h"

#include "base/dpi.h"

#include <commdlg.h>

#include <cstdlib>

namespace tolvern {

int RoundHalfEven(long long num, long long den) {
    const bool negative = num < 0;
    const long long n = std::llabs(num);
    long long quotient = n / den;
    const long long twiceRest = 2 * (n % den);
    if (twiceRest > den || (twiceRest == den && quotient % 2 == 1))
        ++quotient;
    return static_cast<int>(negative ? -quotient : quotient);
}

int BannerFontPoints(int height, int dpi) {
    // A positive height (the cell height) is shown by its size too, not as a negative size.
    return RoundHalfEven(std::llabs(height) * 72LL, dpi);
}

int BannerFontHeight(int pointTenths, int dpi) {
    return -RoundHalfEven(static_cast<long long>(pointTenths) * dpi, 720);
}

TAppearancePage::TAppearancePage(HWND parent, TOptionsHost& host)
    : TOptionPage(parent, IDD_PAGE_APPEARANCE, host) {
    SetUpSpin(IDC_UPDOWNBANNERWIDTH, kBannerWidthMin, kBannerWidthMax, 1);
    ::SendMessageW(Item(IDC_EDTBANNERTEXT), EM_LIMITTEXT, 0, 0);
    const std::vector<std::wstring> extended = JapaneseExtendedColorLines();
    for (auto [box, id, color] : {std::tuple{&cmbUpperColor, IDC_CMBUPPERCOLOR, clTeal},
                                  std::tuple{&cmbBottomColor, IDC_CMBBOTTOMCOLOR, clBlack}}) {
        box->SetSelection({csSystemJ, csExtended});
        box->SetDefaultColor(color);
        box->SetExtendedColors(extended);
        box->Attach(Item(id));
    }
    cmbUpperColor.OnChange = [this](TColorLookupComboBox*) { cmbUpperColorChange(); };
    cmbBottomColor.OnChange = [this](TColorLookupComboBox*) { cmbBottomColorChange(); };
    FontDialog1 = [this](const BannerFontChoice& shown) { return ChooseFont(shown); };
    ShowOptions(LauncherSettings{});
}

void TAppearancePage::SetControls(const LauncherSettings& o) {
    ::SetWindowTextW(Item(IDC_EDTBANNERTEXT), o.BannerText.c_str());
    cmbUpperColor.SetSelectedColor(o.UpperColor);
    cmbBottomColor.SetSelectedColor(o.BottomColor);
    SetSpinPosition(IDC_UPDOWNBANNERWIDTH, o.MenuBannerWidth);
    SetChecked(IDC_RBVIEWSTYLEWINDOWS, o.MenuDrawStyle == 0);
    SetChecked(IDC_RBVIEWSTYLEOFFICE97, o.MenuDrawStyle == 1);
    SetChecked(IDC_CHKLARGEICON, o.LargeIcon);
}

void TAppearancePage::Command(int id, int code) {
    if (code == EN_CHANGE) {
        if (id == IDC_EDTBANNERTEXT)
            edtBannerTextChange();
        else if (id == IDC_EDTBANNERWIDTH)
            edtBannerWidthChange();
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_CMDSETFONT:
        return cmdSetFontClick();
    case IDC_RBVIEWSTYLEWINDOWS:
    case IDC_RBVIEWSTYLEOFFICE97:
        return rgViewStyleClick();
    case IDC_CHKLARGEICON:
        return chkLargeIconClick();
    }
}

void TAppearancePage::edtBannerTextChange() {
    host_.SetBannerText(Text(IDC_EDTBANNERTEXT));
}

void TAppearancePage::DpiChanged(int, int newDpi) {
    cmbUpperColor.SetDpi(newDpi);
    cmbBottomColor.SetDpi(newDpi);
}

void TAppearancePage::cmdSetFontClick() {
    // Stored heights are pixels at 96 DPI, whatever the screen's DPI.
    const LauncherSettings& o = host_.Options();
    const BannerFontChoice shown{o.BannerFontName,
                                 BannerFontPoints(o.BannerFontHeight, kBaseDpi) * 10,
                                 o.BannerFontColor, o.BannerFontStyle & 0x0F};
    const std::optional<BannerFontChoice> chosen = FontDialog1(shown);
    if (!chosen)
        return;
    host_.SetBannerFont(chosen->name, BannerFontHeight(chosen->pointTenths, kBaseDpi),
                        chosen->color, chosen->style & 0x0F);
}

std::optional<BannerFontChoice> TAppearancePage::ChooseFont(const BannerFontChoice& shown) {
    LOGFONTW font{};
    // The font dialog reads the height in pixels of the system's DPI.
    font.lfHeight = BannerFontHeight(shown.pointTenths, SystemDpi());
    font.lfWeight = (shown.style & fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (shown.style & fsItalic) != 0;
    font.lfUnderline = (shown.style & fsUnderline) != 0;
    font.lfStrikeOut = (shown.style & fsStrikeOut) != 0;
    // The face is found by its name whatever its scripts; the dialog offers Japanese where the face
    // has it.
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, shown.name.c_str(), LF_FACESIZE);
    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ::GetAncestor(Handle(), GA_ROOT);
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    dialog.rgbColors = ColorToRGB(shown.color);
    if (!::ChooseFontW(&dialog))
        return std::nullopt;
    BannerFontChoice chosen;
    chosen.name = font.lfFaceName;
    chosen.pointTenths = dialog.iPointSize;
    chosen.color = static_cast<ColorCode>(dialog.rgbColors);
    chosen.style = (font.lfWeight >= FW_BOLD ? fsBold : 0) | (font.lfItalic ? fsItalic : 0) |
                   (font.lfUnderline ? fsUnderline : 0) | (font.lfStrikeOut ? fsStrikeOut : 0);
    return chosen;
}

void TAppearancePage::cmbUpperColorChange() {
    host_.SetUpperColor(cmbUpperColor.SelectedColor());
}

void TAppearancePage::cmbBottomColorChange() {
    host_.SetBottomColor(cmbBottomColor.SelectedColor());
}

void TAppearancePage::edtBannerWidthChange() {
    host_.SetMenuBannerWidth(SpinPosition(IDC_UPDOWNBANNERWIDTH));
}

void TAppearancePage::rgViewStyleClick() {
    host_.SetMenuDrawStyle(Checked(IDC_RBVIEWSTYLEOFFICE97) ? 1 : 0);
}

void TAppearancePage::chkLargeIconClick() {
    host_.SetLargeIcon(Checked(IDC_CHKLARGEICON));
}

} // namespace tolvern
