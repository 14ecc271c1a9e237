// The settings dialog's page "全般": which special folders the launcher menu shows, how icons
// and folder contents are read, from how many items a folder read shows its progress, and
// whether long folders always scroll.
#pragma once

#include "settings/option_page.h"
#include "settings/settings_dialog_ids.h"

namespace tolvern {

class TGeneralPage : public TOptionPage {
public:
    TGeneralPage(HWND parent, TOptionsHost& host);

    // Ranges of the number fields.
    static constexpr int kViewHintMin = 10, kViewHintMax = 1000, kViewHintStep = 10;
    static constexpr int kMaxItemMin = 1, kMaxItemMax = 10000, kMaxItemDefault = 300;

    // The six chkView...Click twins share one handler: each box sets its folder's visibility.
    void chkViewClick();
    void chkHideArrowClick();
    void chkDoNotViewUnassociatedItemsClick();
    void chkDoNotViewHiddenItemsClick();
    void chkDoNotCheckItemsEveryTimeClick();
    void edtViewHintChange();
    void chkAlwaysScrollMenusClick();
    // The item-limit controls are hidden and have no effect.
    void chkLimitItemsClick() {}
    void edtMaxItemChange() {}

protected:
    void SetControls(const LauncherSettings& options) override;
    void Command(int id, int code) override;
};

} // namespace tolvern
