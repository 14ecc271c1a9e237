// Reading and writing LauncherSettings in the registry key of the program.
#include "settings/settings_store.h"

#include "base/text.h"
#include "settings/shortcut_text.h"

#include <algorithm>

namespace tolvern {

namespace {

std::wstring CaptionName(size_t i) {
    return L"Caption" + std::to_wstring(i);
}
std::wstring PathName(size_t i) {
    return L"Path" + std::to_wstring(i);
}

void WriteMyMenu(RegistryIni& ini, const std::vector<MyMenuEntry>& entries) {
    if (entries.empty()) {
        ini.EraseSection(kMyMenuSection);
        return;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        ini.WriteString(kMyMenuSection, CaptionName(i), entries[i].Caption);
        ini.WriteString(kMyMenuSection, PathName(i), entries[i].Path);
    }
    // Only now drop whatever the section holds beyond the current entries.
    std::vector<std::wstring> keep;
    for (size_t i = 0; i < entries.size(); ++i) {
        keep.push_back(CaptionName(i));
        keep.push_back(PathName(i));
    }
    for (const std::wstring& name : ini.ValueNames(kMyMenuSection))
        if (std::none_of(keep.begin(), keep.end(),
                         [&](const std::wstring& k) { return EqualsIgnoreCase(k, name); }))
            ini.DeleteValue(kMyMenuSection, name);
}

} // namespace

LauncherSettings ReadLauncherSettings(const RegistryIni& ini,
                                      const std::wstring& defaultLastOpenedDir,
                                      const std::wstring& currentPopupPos, bool defaultStartup) {
    const LauncherSettings d;
    LauncherSettings s;
    const std::wstring S = kSettingSection;
    s.Startup = ini.ReadBool(S, L"Startup", defaultStartup);
    // Only an exact name selects a corner; anything else keeps the current one.
    s.PopupPos = currentPopupPos;
    const std::wstring pos = ini.ReadString(S, L"PopupPos", d.PopupPos);
    for (const wchar_t* corner : kPopupPositions)
        if (pos == corner)
            s.PopupPos = corner;
    s.PopupOnSelPos = ini.ReadBool(S, L"PopupOnSelPos", d.PopupOnSelPos);
    s.ViewDesktopMenu = ini.ReadBool(S, L"ViewDesktopMenu", d.ViewDesktopMenu);
    s.ViewProgramMenu = ini.ReadBool(S, L"ViewProgramMenu", d.ViewProgramMenu);
    s.ViewMyDocumentsMenu = ini.ReadBool(S, L"ViewMyDocumentsMenu", d.ViewMyDocumentsMenu);
    s.ViewRecentMenu = ini.ReadBool(S, L"ViewRecentMenu", d.ViewRecentMenu);
    s.ViewFavoritesMenu = ini.ReadBool(S, L"ViewFavoritesMenu", d.ViewFavoritesMenu);
    s.ViewHistoryMenu = ini.ReadBool(S, L"ViewHistoryMenu", d.ViewHistoryMenu);
    s.DoNotViewHiddenItems = ini.ReadBool(S, L"DoNotViewHiddenItems", d.DoNotViewHiddenItems);
    s.DoNotViewUnassociatedItems =
        ini.ReadBool(S, L"DoNotViewUnassociatedItems", d.DoNotViewUnassociatedItems);
    s.DoNotCheckItemsEveryTime =
        ini.ReadBool(S, L"DoNotCheckItemsEveryTime", d.DoNotCheckItemsEveryTime);
    s.MoveCursor = ini.ReadBool(S, L"MoveCursor", d.MoveCursor);
    s.ShowHintFrom = ini.ReadInteger(S, L"ShowHintFrom", d.ShowHintFrom);
    s.AlwaysScrollMenus = ini.ReadBool(S, L"AlwaysScrollMenus", d.AlwaysScrollMenus);
    // The dialog's range: a wider banner asks for a huge bitmap, a narrower one for none.
    s.MenuBannerWidth = std::clamp(ini.ReadInteger(S, L"MenuBannerWidth", d.MenuBannerWidth),
                                   kMinBannerWidth, kMaxBannerWidth);
    s.MenuDrawStyle = ini.ReadInteger(S, L"MenuDrawStyle", d.MenuDrawStyle);
    s.HideArrow = ini.ReadBool(S, L"HideArrow", d.HideArrow);
    s.LargeIcon = ini.ReadBool(S, L"LargeIcon", d.LargeIcon);
    s.BannerText = ini.ReadString(S, L"BannerText", d.BannerText);
    s.UpperColor = ini.ReadInteger(S, L"UpperColor", d.UpperColor);
    s.BottomColor = ini.ReadInteger(S, L"BottomColor", d.BottomColor);
    s.BannerFontName = ini.ReadString(S, L"BannerFontName", d.BannerFontName);
    s.BannerFontHeight = ini.ReadInteger(S, L"BannerFontHeight", d.BannerFontHeight);
    s.BannerFontColor = ini.ReadInteger(S, L"BannerFontColor", d.BannerFontColor);
    s.BannerFontStyle = ini.ReadInteger(S, L"BannerFontStyle", d.BannerFontStyle) & 0xFF;
    s.HotKey = TextToShortCut(ini.ReadString(S, L"HotKey", ShortCutToText(d.HotKey)));
    // A save writes two values an entry, so no count it writes exceeds the section's number of
    // values; a larger count names entries that were never stored (and a huge one would take
    // minutes to read into empty entries).
    const int count = static_cast<int>(std::min<size_t>(
        std::max(ini.ReadInteger(S, L"MenuCount", 0), 0), ini.ValueNames(kMyMenuSection).size()));
    s.LastOpenedDir = ini.ReadString(S, L"LastOpenedDir", defaultLastOpenedDir);
    for (int i = 0; i < count; ++i)
        s.MyMenu.push_back({ini.ReadString(kMyMenuSection, CaptionName(i), L""),
                            ini.ReadString(kMyMenuSection, PathName(i), L"")});
    return s;
}

void WriteStartupSetting(RegistryIni& ini, bool startup) {
    ini.WriteBool(kSettingSection, L"Startup", startup);
}

void WriteLauncherSettings(RegistryIni& ini, const LauncherSettings& s) {
    const std::wstring S = kSettingSection;
    ini.WriteBool(S, L"HideArrow", s.HideArrow);
    ini.WriteBool(S, L"Startup", s.Startup);
    ini.WriteString(S, L"BannerText", s.BannerText);
    ini.WriteInteger(S, L"UpperColor", s.UpperColor);
    ini.WriteInteger(S, L"BottomColor", s.BottomColor);
    ini.WriteBool(S, L"PopupOnSelPos", s.PopupOnSelPos);
    if (std::any_of(std::begin(kPopupPositions), std::end(kPopupPositions),
                    [&](const wchar_t* corner) { return s.PopupPos == corner; }))
        ini.WriteString(S, L"PopupPos", s.PopupPos);
    ini.WriteBool(S, L"ViewDesktopMenu", s.ViewDesktopMenu);
    ini.WriteBool(S, L"ViewProgramMenu", s.ViewProgramMenu);
    ini.WriteBool(S, L"ViewMyDocumentsMenu", s.ViewMyDocumentsMenu);
    ini.WriteBool(S, L"ViewRecentMenu", s.ViewRecentMenu);
    ini.WriteBool(S, L"ViewFavoritesMenu", s.ViewFavoritesMenu);
    ini.WriteBool(S, L"ViewHistoryMenu", s.ViewHistoryMenu);
    ini.WriteBool(S, L"DoNotViewHiddenItems", s.DoNotViewHiddenItems);
    ini.WriteBool(S, L"DoNotViewUnassociatedItems", s.DoNotViewUnassociatedItems);
    ini.WriteBool(S, L"DoNotCheckItemsEveryTime", s.DoNotCheckItemsEveryTime);
    ini.WriteBool(S, L"MoveCursor", s.MoveCursor);
    ini.WriteInteger(S, L"ShowHintFrom", s.ShowHintFrom);
    ini.WriteBool(S, L"AlwaysScrollMenus", s.AlwaysScrollMenus);
    ini.WriteInteger(S, L"MenuBannerWidth", s.MenuBannerWidth);
    ini.WriteInteger(S, L"MenuDrawStyle", s.MenuDrawStyle);
    ini.WriteBool(S, L"LargeIcon", s.LargeIcon);
    ini.WriteString(S, L"BannerFontName", s.BannerFontName);
    ini.WriteInteger(S, L"BannerFontHeight", s.BannerFontHeight);
    ini.WriteInteger(S, L"BannerFontColor", s.BannerFontColor);
    ini.WriteInteger(S, L"BannerFontStyle", s.BannerFontStyle & 0x0F);
    ini.WriteString(S, L"HotKey", ShortCutToText(s.HotKey));
    ini.WriteString(S, L"LastOpenedDir", s.LastOpenedDir);
    WriteMyMenu(ini, s.MyMenu);
    // The count goes last, so that it never names entries that a failed write left out.
    ini.WriteInteger(S, L"MenuCount", static_cast<int>(s.MyMenu.size()));
}

} // namespace tolvern
