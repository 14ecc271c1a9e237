// The settings dialog's page "全般": which special folders the launcher menu shows, how icons
// and folder contents are read, from how many items a folder read shows its progress, and
// whether long folders always scroll.
#include "settings/general_page.h"

namespace tolvern {

TGeneralPage::TGeneralPage(HWND parent, TOptionsHost& host)
    : TOptionPage(parent, IDD_PAGE_GENERAL, host) {
    SetUpSpin(IDC_UPDOWNVIEWHINT, kViewHintMin, kViewHintMax, kViewHintStep);
    SetUpSpin(IDC_UPDOWNMAXITEM, kMaxItemMin, kMaxItemMax, 1);
    updating_ = true;
    SetChecked(IDC_CHKLIMITITEMS, true);
    SetSpinPosition(IDC_UPDOWNMAXITEM, kMaxItemDefault);
    updating_ = false;
    ShowOptions(LauncherSettings{});
}

void TGeneralPage::SetControls(const LauncherSettings& o) {
    SetChecked(IDC_CHKVIEWDESKTOP, o.ViewDesktopMenu);
    SetChecked(IDC_CHKVIEWPROGRAM, o.ViewProgramMenu);
    SetChecked(IDC_CHKVIEWMYDOCUMENTS, o.ViewMyDocumentsMenu);
    SetChecked(IDC_CHKVIEWRECENT, o.ViewRecentMenu);
    SetChecked(IDC_CHKVIEWFAVORITES, o.ViewFavoritesMenu);
    SetChecked(IDC_CHKVIEWHISTORY, o.ViewHistoryMenu);
    SetChecked(IDC_CHKHIDEARROW, o.HideArrow);
    SetChecked(IDC_CHKDONOTVIEWUNASSOCIATEDITEMS, o.DoNotViewUnassociatedItems);
    SetChecked(IDC_CHKDONOTVIEWHIDDENITEMS, o.DoNotViewHiddenItems);
    SetChecked(IDC_CHKDONOTCHECKITEMSEVERYTIME, o.DoNotCheckItemsEveryTime);
    SetSpinPosition(IDC_UPDOWNVIEWHINT, o.ShowHintFrom);
    SetChecked(IDC_CHKALWAYSSCROLLMENUS, o.AlwaysScrollMenus);
}

void TGeneralPage::Command(int id, int code) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_CHKVIEWDESKTOP:
        case IDC_CHKVIEWPROGRAM:
        case IDC_CHKVIEWMYDOCUMENTS:
        case IDC_CHKVIEWRECENT:
        case IDC_CHKVIEWFAVORITES:
        case IDC_CHKVIEWHISTORY:
            return chkViewClick();
        case IDC_CHKHIDEARROW:
            return chkHideArrowClick();
        case IDC_CHKDONOTVIEWUNASSOCIATEDITEMS:
            return chkDoNotViewUnassociatedItemsClick();
        case IDC_CHKDONOTVIEWHIDDENITEMS:
            return chkDoNotViewHiddenItemsClick();
        case IDC_CHKDONOTCHECKITEMSEVERYTIME:
            return chkDoNotCheckItemsEveryTimeClick();
        case IDC_CHKLIMITITEMS:
            return chkLimitItemsClick();
        case IDC_CHKALWAYSSCROLLMENUS:
            return chkAlwaysScrollMenusClick();
        }
    } else if (code == EN_CHANGE) {
        if (id == IDC_EDTVIEWHINT)
            edtViewHintChange();
        else if (id == IDC_EDTMAXITEM)
            edtMaxItemChange();
    }
}

void TGeneralPage::chkViewClick() {
    LauncherSettings views = host_.Options();
    views.ViewDesktopMenu = Checked(IDC_CHKVIEWDESKTOP);
    views.ViewProgramMenu = Checked(IDC_CHKVIEWPROGRAM);
    views.ViewMyDocumentsMenu = Checked(IDC_CHKVIEWMYDOCUMENTS);
    views.ViewRecentMenu = Checked(IDC_CHKVIEWRECENT);
    views.ViewFavoritesMenu = Checked(IDC_CHKVIEWFAVORITES);
    views.ViewHistoryMenu = Checked(IDC_CHKVIEWHISTORY);
    host_.SetViewMenus(views);
}

void TGeneralPage::chkHideArrowClick() {
    host_.SetHideArrow(Checked(IDC_CHKHIDEARROW));
}

void TGeneralPage::chkDoNotViewUnassociatedItemsClick() {
    host_.SetDoNotViewUnassociatedItems(Checked(IDC_CHKDONOTVIEWUNASSOCIATEDITEMS));
}

void TGeneralPage::chkDoNotViewHiddenItemsClick() {
    host_.SetDoNotViewHiddenItems(Checked(IDC_CHKDONOTVIEWHIDDENITEMS));
}

void TGeneralPage::chkDoNotCheckItemsEveryTimeClick() {
    host_.SetDoNotCheckItemsEveryTime(Checked(IDC_CHKDONOTCHECKITEMSEVERYTIME));
}

void TGeneralPage::edtViewHintChange() {
    host_.SetShowHintFrom(SpinPosition(IDC_UPDOWNVIEWHINT));
}

void TGeneralPage::chkAlwaysScrollMenusClick() {
    host_.SetAlwaysScrollMenus(Checked(IDC_CHKALWAYSSCROLLMENUS));
}

} // namespace tolvern
