// Every value of the "Setting" section with the text a first save writes for it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tolvern::test {

inline std::vector<std::pair<std::wstring, std::wstring>>
DefaultSettingTexts(const std::wstring& lastOpenedDir) {
    return {{L"Startup", L"0"},
            {L"PopupPos", L"RightBottom"},
            {L"PopupOnSelPos", L"0"},
            {L"ViewDesktopMenu", L"1"},
            {L"ViewProgramMenu", L"1"},
            {L"ViewMyDocumentsMenu", L"1"},
            {L"ViewRecentMenu", L"1"},
            {L"ViewFavoritesMenu", L"1"},
            {L"ViewHistoryMenu", L"1"},
            {L"DoNotViewHiddenItems", L"1"},
            {L"DoNotViewUnassociatedItems", L"1"},
            {L"DoNotCheckItemsEveryTime", L"1"},
            {L"MoveCursor", L"0"},
            {L"ShowHintFrom", L"200"},
            {L"AlwaysScrollMenus", L"0"},
            {L"MenuBannerWidth", L"28"},
            {L"MenuDrawStyle", L"0"},
            {L"HideArrow", L"1"},
            {L"LargeIcon", L"0"},
            {L"BannerText", L"Tolvern Launcher"},
            {L"UpperColor", L"8421376"},
            {L"BottomColor", L"0"},
            {L"BannerFontName", L"Arial"},
            {L"BannerFontHeight", L"-19"},
            {L"BannerFontColor", L"16777215"},
            {L"BannerFontStyle", L"3"},
            {L"HotKey", L"Ctrl+Alt+L"},
            {L"MenuCount", L"0"},
            {L"LastOpenedDir", lastOpenedDir}};
}

} // namespace tolvern::test
