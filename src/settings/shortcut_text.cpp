// The "HotKey" text form of a shortcut ("Ctrl+Alt+L") in both directions.
#include "settings/shortcut_text.h"

#include "base/text.h"

#include <array>

namespace tolvern {

namespace {

std::wstring SystemKeyName(BYTE virtualKey) {
    UINT scanCode = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scanCode == 0)
        return L"";
    LONG lParam = static_cast<LONG>(scanCode << 16);
    // Keys that share a scan code with a numeric-pad key need the extended bit to be named.
    switch (virtualKey) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
        lParam |= 1 << 24;
        break;
    default:
        break;
    }
    wchar_t name[64] = {};
    int n = ::GetKeyNameTextW(lParam, name, static_cast<int>(std::size(name)));
    return std::wstring(name, n > 0 ? n : 0);
}

// Names of every key from 0x08 up, computed once per call of TextToShortCut.
std::array<std::wstring, 256> AllKeyNames() {
    std::array<std::wstring, 256> names;
    for (int vk = 0x08; vk <= 0xFF; ++vk)
        names[vk] = KeyName(static_cast<BYTE>(vk));
    return names;
}

} // namespace

std::wstring KeyName(BYTE vk) {
    static constexpr const wchar_t* kNavigation[] = {L"Space", L"PgUp", L"PgDn",  L"End", L"Home",
                                                     L"Left",  L"Up",   L"Right", L"Down"};
    switch (vk) {
    case 0x08:
        return L"BkSp";
    case 0x09:
        return L"Tab";
    case 0x0D:
        return L"Enter";
    case 0x1B:
        return L"Esc";
    case 0x2D:
        return L"Ins";
    case 0x2E:
        return L"Del";
    default:
        break;
    }
    if (vk >= 0x20 && vk <= 0x28)
        return kNavigation[vk - 0x20];
    if (vk >= 0x30 && vk <= 0x39)
        return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= 0x60 && vk <= 0x69)
        return std::wstring(1, static_cast<wchar_t>(L'0' + (vk - 0x60)));
    if (vk >= 0x41 && vk <= 0x5A)
        return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= 0x70 && vk <= 0x87)
        return L"F" + std::to_wstring(vk - 0x70 + 1);
    return SystemKeyName(vk);
}

std::wstring ShortCutToText(ShortCut shortCut) {
    std::wstring text;
    if (shortCut & kShortCutShift)
        text += L"Shift+";
    if (shortCut & kShortCutCtrl)
        text += L"Ctrl+";
    if (shortCut & kShortCutAlt)
        text += L"Alt+";
    return text + KeyName(static_cast<BYTE>(shortCut & 0xFF));
}

ShortCut TextToShortCut(std::wstring_view text) {
    static constexpr struct {
        std::wstring_view prefix;
        ShortCut bit;
    } kPrefixes[] = {{L"Shift+", kShortCutShift},
                     {L"Ctrl+", kShortCutCtrl},
                     {L"^", kShortCutCtrl},
                     {L"Alt+", kShortCutAlt}};
    ShortCut modifiers = 0;
    for (bool matched = true; matched;) {
        matched = false;
        for (const auto& p : kPrefixes) {
            if (text.size() >= p.prefix.size() &&
                EqualsIgnoreCase(text.substr(0, p.prefix.size()), p.prefix)) {
                modifiers |= p.bit;
                text.remove_prefix(p.prefix.size());
                matched = true;
                break;
            }
        }
    }
    if (text.empty())
        return 0;
    const auto names = AllKeyNames();
    for (int vk = 0x08; vk <= 0xFF; ++vk)
        if (!names[vk].empty() && EqualsIgnoreCase(names[vk], text))
            return static_cast<ShortCut>(modifiers | vk);
    return 0;
}

} // namespace tolvern
