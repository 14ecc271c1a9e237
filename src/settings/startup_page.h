// The settings dialog's page "起動": the start-up shortcut, the hot key, and the corner at which
// the launcher menu pops up.
#pragma once

#include "settings/option_page.h"
#include "settings/settings_dialog_ids.h"

namespace tolvern {

// The hot keys the launcher takes: Ctrl, Alt or both with a key. A key with no modifier or
// with Shift in the combination is taken with Ctrl+Alt instead; 0 (no key) stays 0.
ShortCut AcceptedHotKey(ShortCut shortCut);
// A shortcut as a hot-key control's value (HKM_SETHOTKEY) and back.
WORD HotKeyControlValue(ShortCut shortCut);
ShortCut ShortCutFromHotKeyControl(WORD value);
// The shortcut as the hot-key control shows it: the system's names of Ctrl, Shift, Alt and the
// key, joined by " + " (for example "Ctrl + Alt + L").
std::wstring HotKeyDisplayText(ShortCut shortCut);

inline constexpr wchar_t kStartupFailed[] =
    L"スタートアップにショートカットを作成できませんでした。";

class TStartupPage : public TOptionPage {
public:
    TStartupPage(HWND parent, TOptionsHost& host);

    ShortCut HotKey() const;
    // The corner's radio button and name, in the order of kCorners.
    struct Corner {
        int id;
        const wchar_t* name;
    };
    static constexpr Corner kCorners[] = {{IDC_RBLEFTTOP, L"LeftTop"},
                                          {IDC_RBRIGHTTOP, L"RightTop"},
                                          {IDC_RBLEFTBOTTOM, L"LeftBottom"},
                                          {IDC_RBRIGHTBOTTOM, L"RightBottom"}};

    void chkStartupClick();
    void HotKey1Change();
    void rbPopupPosClick(int id);
    void chkPopupOnSelPosClick();
    void chkMoveCursorClick();

protected:
    void SetControls(const LauncherSettings& options) override;
    void Command(int id, int code) override;
};

} // namespace tolvern
