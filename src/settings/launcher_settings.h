// The persisted options and My Menu entries; field names are the registry value names.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvern {

inline constexpr wchar_t kApplicationTitle[] = L"Tolvern Launcher";
// Key below HKEY_CURRENT_USER that holds the sections "Setting" and "MyMenu".
inline constexpr wchar_t kSettingsKeyPath[] = L"\\Software\\Marrowick\\Tolvern Launcher";
inline constexpr wchar_t kSettingSection[] = L"Setting";
inline constexpr wchar_t kMyMenuSection[] = L"MyMenu";

// Colour codes: $00BBGGRR, or $80000000 plus a system colour index.
using ColorCode = int;
inline constexpr ColorCode kColorNone = 0x1FFFFFFF;
inline constexpr ColorCode SystemColorCode(int index) {
    return static_cast<int>(0x80000000u | static_cast<unsigned>(index));
}

// Hot-key shortcut value: the virtual-key code plus these modifier bits.
using ShortCut = WORD;
inline constexpr ShortCut kShortCutShift = 0x2000;
inline constexpr ShortCut kShortCutCtrl = 0x4000;
inline constexpr ShortCut kShortCutAlt = 0x8000;

// The banner widths the settings dialog offers.
inline constexpr int kMinBannerWidth = 2;
inline constexpr int kMaxBannerWidth = 100;

struct MyMenuEntry {
    std::wstring Caption;
    std::wstring Path;
    bool operator==(const MyMenuEntry&) const = default;
};

// The popup corners in the order the loader tries them.
inline constexpr const wchar_t* kPopupPositions[] = {L"LeftTop", L"LeftBottom", L"RightTop",
                                                     L"RightBottom"};

struct LauncherSettings {
    bool Startup = false;
    std::wstring PopupPos = L"RightBottom";
    bool PopupOnSelPos = false;
    bool ViewDesktopMenu = true;
    bool ViewProgramMenu = true;
    bool ViewMyDocumentsMenu = true;
    bool ViewRecentMenu = true;
    bool ViewFavoritesMenu = true;
    bool ViewHistoryMenu = true;
    bool DoNotViewHiddenItems = true;
    bool DoNotViewUnassociatedItems = true;
    // True means a folder is read again each time its submenu opens.
    bool DoNotCheckItemsEveryTime = true;
    bool MoveCursor = false;
    int ShowHintFrom = 200;
    // Every submenu taller than the work area scrolls instead of breaking into columns.
    bool AlwaysScrollMenus = false;
    int MenuBannerWidth = 28;
    int MenuDrawStyle = 0;
    bool HideArrow = true;
    bool LargeIcon = false;
    std::wstring BannerText = kApplicationTitle;
    ColorCode UpperColor = 0x808000;
    ColorCode BottomColor = 0;
    std::wstring BannerFontName = L"Arial";
    int BannerFontHeight = -19;
    ColorCode BannerFontColor = 0xFFFFFF;
    int BannerFontStyle = 3; // 1 bold, 2 italic, 4 underline, 8 strike-out
    ShortCut HotKey = kShortCutCtrl | kShortCutAlt | 'L';
    std::wstring LastOpenedDir; // the program's directory unless stored
    std::vector<MyMenuEntry> MyMenu;

    bool operator==(const LauncherSettings&) const = default;
};

} // namespace tolvern
