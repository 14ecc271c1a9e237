// The settings dialog's page "外見": the banner's text, font, colours and width, the menu's
// drawing style and the size of the top-level icons.
#pragma once

#include "components/color_lookup_combo_box.h"
#include "settings/option_page.h"
#include "settings/settings_dialog_ids.h"

#include <functional>
#include <optional>

namespace tolvern {

// Integer num / den rounded to the nearest integer, halves to the even one (den > 0).
int RoundHalfEven(long long num, long long den);
// The point size the font dialog shows for a stored banner font height (pixels, negative for
// the character height) on a screen of dpi pixels per inch: 14 for -19 at 96. The stored height
// is the one at 96 DPI (the menu draws it scaled for its monitor), so the page converts at 96.
int BannerFontPoints(int height, int dpi);
// The stored height of a chosen size in tenths of a point: -16 for 120 at 96.
int BannerFontHeight(int pointTenths, int dpi);

// The font as the font dialog shows and returns it.
struct BannerFontChoice {
    std::wstring name;
    int pointTenths = 0;
    ColorCode color = 0;
    int style = 0; // 1 bold, 2 italic, 4 underline, 8 strike-out
    bool operator==(const BannerFontChoice&) const = default;
};

class TAppearancePage : public TOptionPage {
public:
    TAppearancePage(HWND parent, TOptionsHost& host);

    static constexpr int kBannerWidthMin = 2, kBannerWidthMax = 100;

    TColorLookupComboBox cmbUpperColor;
    TColorLookupComboBox cmbBottomColor;

    // The font dialog: the system's unless a test puts its own answer here (nullopt: cancelled).
    std::function<std::optional<BannerFontChoice>(const BannerFontChoice& shown)> FontDialog1;

    void edtBannerTextChange();
    void cmdSetFontClick();
    void cmbUpperColorChange();
    void cmbBottomColorChange();
    void edtBannerWidthChange();
    void rgViewStyleClick();
    void chkLargeIconClick();

protected:
    void SetControls(const LauncherSettings& options) override;
    void Command(int id, int code) override;
    // The colour boxes' entries are sized in pixels.
    void DpiChanged(int oldDpi, int newDpi) override;

private:
    std::optional<BannerFontChoice> ChooseFont(const BannerFontChoice& shown);
};

} // namespace tolvern
