// The settings dialog's page "起動": the start-up shortcut, the hot key, and the corner at which
// the launcher menu pops up.
#include "settings/startup_page.h"

#include <commctrl.h>

namespace tolvern {

ShortCut AcceptedHotKey(ShortCut shortCut) {
    const ShortCut key = shortCut & 0xFF;
    if (key == 0)
        return 0;
    const bool shift = shortCut & kShortCutShift;
    const bool ctrlOrAlt = shortCut & (kShortCutCtrl | kShortCutAlt);
    if (shift || !ctrlOrAlt)
        return key | kShortCutCtrl | kShortCutAlt;
    return shortCut & (key | kShortCutCtrl | kShortCutAlt);
}

namespace {
// Keys that the hot-key control names from their extended scan codes.
bool IsExtendedKey(BYTE key) {
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE ||
           key == VK_DIVIDE || key == VK_NUMLOCK;
}
} // namespace

WORD HotKeyControlValue(ShortCut shortCut) {
    const BYTE key = static_cast<BYTE>(shortCut & 0xFF);
    BYTE modifiers = 0;
    if (shortCut & kShortCutShift)
        modifiers |= HOTKEYF_SHIFT;
    if (shortCut & kShortCutCtrl)
        modifiers |= HOTKEYF_CONTROL;
    if (shortCut & kShortCutAlt)
        modifiers |= HOTKEYF_ALT;
    if (IsExtendedKey(key))
        modifiers |= HOTKEYF_EXT;
    return MAKEWORD(key, modifiers);
}

ShortCut ShortCutFromHotKeyControl(WORD value) {
    const BYTE modifiers = HIBYTE(value);
    ShortCut shortCut = LOBYTE(value);
    if (modifiers & HOTKEYF_SHIFT)
        shortCut |= kShortCutShift;
    if (modifiers & HOTKEYF_CONTROL)
        shortCut |= kShortCutCtrl;
    if (modifiers & HOTKEYF_ALT)
        shortCut |= kShortCutAlt;
    return shortCut;
}

std::wstring HotKeyDisplayText(ShortCut shortCut) {
    auto name = [](BYTE key) {
        LONG code = static_cast<LONG>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        if (IsExtendedKey(key))
            code |= 1 << 24;
        wchar_t text[64] = {};
        ::GetKeyNameTextW(code, text, 64);
        return std::wstring(text);
    };
    std::wstring text;
    auto add = [&](BYTE key) { text += (text.empty() ? L"" : L" + ") + name(key); };
    if (shortCut & kShortCutCtrl)
        add(VK_CONTROL);
    if (shortCut & kShortCutShift)
        add(VK_SHIFT);
    if (shortCut & kShortCutAlt)
        add(VK_MENU);
    if (shortCut & 0xFF)
        add(static_cast<BYTE>(shortCut & 0xFF));
    return text;
}

TStartupPage::TStartupPage(HWND parent, TOptionsHost& host)
    : TOptionPage(parent, IDD_PAGE_STARTUP, host) {
    // The control itself replaces what it may: a key alone or with Shift becomes Ctrl+Alt.
    ::SendMessageW(Item(IDC_HOTKEY1), HKM_SETRULES,
                   HKCOMB_NONE | HKCOMB_S | HKCOMB_SA | HKCOMB_SC | HKCOMB_SCA,
                   MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    ShowOptions(LauncherSettings{});
}

void TStartupPage::SetControls(const LauncherSettings& o) {
    SetChecked(IDC_CHKSTARTUP, o.Startup);
    ::SendMessageW(Item(IDC_HOTKEY1), HKM_SETHOTKEY, HotKeyControlValue(o.HotKey), 0);
    for (const Corner& corner : kCorners)
        SetChecked(corner.id, o.PopupPos == corner.name);
    SetChecked(IDC_CHKPOPUPONSELPOS, o.PopupOnSelPos);
    SetChecked(IDC_CHKMOVECURSOR, o.MoveCursor);
    ::EnableWindow(Item(IDC_CHKMOVECURSOR), o.PopupOnSelPos);
}

void TStartupPage::Command(int id, int code) {
    if (id == IDC_HOTKEY1 && code == EN_CHANGE)
        return HotKey1Change();
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_CHKSTARTUP:
        return chkStartupClick();
    case IDC_CHKPOPUPONSELPOS:
        return chkPopupOnSelPosClick();
    case IDC_CHKMOVECURSOR:
        return chkMoveCursorClick();
    case IDC_RBLEFTTOP:
    case IDC_RBRIGHTTOP:
    case IDC_RBLEFTBOTTOM:
    case IDC_RBRIGHTBOTTOM:
        return rbPopupPosClick(id);
    }
}

ShortCut TStartupPage::HotKey() const {
    return ShortCutFromHotKeyControl(
        static_cast<WORD>(::SendMessageW(Item(IDC_HOTKEY1), HKM_GETHOTKEY, 0, 0)));
}

void TStartupPage::chkStartupClick() {
    const bool startup = Checked(IDC_CHKSTARTUP);
    if (host_.SetStartup(startup))
        return;
    // The shortcut could not be made: the box shows what is true and says so.
    updating_ = true;
    SetChecked(IDC_CHKSTARTUP, false);
    updating_ = false;
    host_.SetStartup(false);
    host_.MsgBox(kStartupFailed, MB_ICONWARNING | MB_OK);
}

void TStartupPage::HotKey1Change() {
    const ShortCut typed = HotKey();
    // Modifiers held without a key yet: nothing is chosen so far.
    if ((typed & 0xFF) == 0 && typed != 0)
        return;
    const ShortCut accepted = AcceptedHotKey(typed);
    if (accepted != typed) {
        updating_ = true;
        ::SendMessageW(Item(IDC_HOTKEY1), HKM_SETHOTKEY, HotKeyControlValue(accepted), 0);
        updating_ = false;
    }
    host_.SetHotKeyShortCut(accepted);
}

void TStartupPage::rbPopupPosClick(int id) {
    for (const Corner& corner : kCorners)
        if (corner.id == id && Checked(id))
            host_.SetPopupPos(corner.name);
}

void TStartupPage::chkPopupOnSelPosClick() {
    const bool popupOnSelPos = Checked(IDC_CHKPOPUPONSELPOS);
    // The move-cursor box keeps its check mark while disabled.
    ::EnableWindow(Item(IDC_CHKMOVECURSOR), popupOnSelPos);
    host_.SetPopupOnSelPos(popupOnSelPos);
}

void TStartupPage::chkMoveCursorClick() {
    host_.SetMoveCursor(Checked(IDC_CHKMOVECURSOR));
}

} // namespace tolvern
