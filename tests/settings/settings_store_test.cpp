// The settings codec and store against the real registry, in a scratch key.
#include "settings/settings_store.h"
#include "settings/shortcut_text.h"
#include "support/default_settings.h"
#include "support/scratch_key.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tolvern {
namespace {

using test::ScratchKey;

const std::wstring S = kSettingSection;
const std::wstring M = kMyMenuSection;

LauncherSettings Load(const ScratchKey& key, const std::wstring& currentPos = L"RightBottom") {
    RegistryIni ini(HKEY_CURRENT_USER, key.Path());
    return ReadLauncherSettings(ini, L"C:\\Launcher", currentPos);
}

void Save(const ScratchKey& key, const LauncherSettings& settings) {
    RegistryIni ini(HKEY_CURRENT_USER, key.Path());
    WriteLauncherSettings(ini, settings);
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(SettingsStore, FirstStartCreatesTheKeyAndWritesEveryDefault) {
    ScratchKey key;
    ASSERT_FALSE(key.Exists());
    LauncherSettings s = Load(key);
    EXPECT_TRUE(key.Exists());
    LauncherSettings expected;
    expected.LastOpenedDir = L"C:\\Launcher";
    EXPECT_EQ(expected, s);

    Save(key, s);
    const auto values = test::DefaultSettingTexts(L"C:\\Launcher");
    for (const auto& [name, text] : values) {
        EXPECT_EQ(DWORD{REG_SZ}, key.ValueType(S, name)) << testing::PrintToString(name);
        EXPECT_EQ(text, key.GetString(S, name));
    }
    EXPECT_EQ(values.size(), key.ValueNames(S).size());
    EXPECT_FALSE(key.SectionExists(M)); // no entries: no section
}

TEST(SettingsStore, EveryOptionIsReadFromItsOwnValueWhateverItsNeighboursHold) {
    // Neighbouring options hold different values, and every option is read at both of its
    // ends, so an option read from another's value cannot pass.
    for (const bool first : {true, false}) {
        ScratchKey key;
        const std::wstring on = first ? L"1" : L"0", off = first ? L"0" : L"1";
        for (const auto& [name, text] : std::vector<std::pair<std::wstring, std::wstring>>{
                 {L"Startup", on},
                 {L"PopupPos", first ? L"LeftTop" : L"RightTop"},
                 {L"PopupOnSelPos", off},
                 {L"ViewDesktopMenu", on},
                 {L"ViewProgramMenu", off},
                 {L"ViewMyDocumentsMenu", on},
                 {L"ViewRecentMenu", off},
                 {L"ViewFavoritesMenu", on},
                 {L"ViewHistoryMenu", off},
                 {L"DoNotViewHiddenItems", on},
                 {L"DoNotViewUnassociatedItems", off},
                 {L"DoNotCheckItemsEveryTime", on},
                 {L"MoveCursor", off},
                 {L"ShowHintFrom", first ? L"310" : L"420"},
                 {L"AlwaysScrollMenus", on},
                 {L"MenuBannerWidth", first ? L"33" : L"44"},
                 {L"MenuDrawStyle", off},
                 {L"HideArrow", on},
                 {L"LargeIcon", off},
                 {L"BannerText", first ? L"First" : L"Second"},
                 {L"UpperColor", first ? L"1193046" : L"6636321"},
                 {L"BottomColor", first ? L"2236962" : L"3355443"},
                 {L"BannerFontName", first ? L"Tahoma" : L"Courier New"},
                 {L"BannerFontHeight", first ? L"-21" : L"-15"},
                 {L"BannerFontColor", first ? L"4473924" : L"5592405"},
                 {L"BannerFontStyle", first ? L"5" : L"10"},
                 {L"HotKey", first ? L"Ctrl+Shift+F9" : L"Alt+Home"},
                 {L"LastOpenedDir", first ? L"C:\\first" : L"C:\\second"}})
            key.SetString(S, name, text);
        LauncherSettings expected;
        expected.Startup = first;
        expected.PopupPos = first ? L"LeftTop" : L"RightTop";
        expected.PopupOnSelPos = !first;
        expected.ViewDesktopMenu = first;
        expected.ViewProgramMenu = !first;
        expected.ViewMyDocumentsMenu = first;
        expected.ViewRecentMenu = !first;
        expected.ViewFavoritesMenu = first;
        expected.ViewHistoryMenu = !first;
        expected.DoNotViewHiddenItems = first;
        expected.DoNotViewUnassociatedItems = !first;
        expected.DoNotCheckItemsEveryTime = first;
        expected.MoveCursor = !first;
        expected.ShowHintFrom = first ? 310 : 420;
        expected.AlwaysScrollMenus = first;
        expected.MenuBannerWidth = first ? 33 : 44;
        expected.MenuDrawStyle = first ? 0 : 1;
        expected.HideArrow = first;
        expected.LargeIcon = !first;
        expected.BannerText = first ? L"First" : L"Second";
        expected.UpperColor = first ? 0x123456 : 0x654321;
        expected.BottomColor = first ? 0x222222 : 0x333333;
        expected.BannerFontName = first ? L"Tahoma" : L"Courier New";
        expected.BannerFontHeight = first ? -21 : -15;
        expected.BannerFontColor = first ? 0x444444 : 0x555555;
        expected.BannerFontStyle = first ? 5 : 10;
        expected.HotKey = first ? kShortCutCtrl | kShortCutShift | VK_F9 : kShortCutAlt | VK_HOME;
        expected.LastOpenedDir = first ? L"C:\\first" : L"C:\\second";
        EXPECT_EQ(expected, Load(key)) << "first: " << first;
    }
}

TEST(SettingsStore, ToleratesTextsThatAreNoValidValue) {
    ScratchKey key;
    key.SetString(S, L"PopupPos", L"lefttop");
    key.SetString(S, L"ShowHintFrom", L"abc");
    key.SetString(S, L"Startup", L"2");
    key.SetString(S, L"ViewRecentMenu", L"0");
    key.SetString(S, L"MenuBannerWidth", L"");
    key.SetString(S, L"BannerFontStyle", L"259"); // only the low byte counts
    key.SetString(S, L"HotKey", L"Ctrl+Alt+NoSuchKey");
    key.SetString(S, L"AlwaysScrollMenus", L"yes");
    LauncherSettings s = Load(key, L"LeftBottom");
    EXPECT_EQ(L"LeftBottom", s.PopupPos); // wrong case: the current corner stays
    EXPECT_EQ(200, s.ShowHintFrom);
    EXPECT_TRUE(s.Startup);
    EXPECT_FALSE(s.ViewRecentMenu);
    EXPECT_EQ(28, s.MenuBannerWidth);
    EXPECT_EQ(3, s.BannerFontStyle);
    EXPECT_EQ(0, s.HotKey);
    EXPECT_FALSE(s.AlwaysScrollMenus);

    key.SetString(S, L"PopupPos", L"LeftTop");
    EXPECT_EQ(L"LeftTop", Load(key, L"LeftBottom").PopupPos);

    // The banner width stays in the dialog's range.
    std::vector<int> widths;
    for (const wchar_t* text : {L"100000", L"101", L"100", L"2", L"1", L"0", L"-5"}) {
        key.SetString(S, L"MenuBannerWidth", text);
        widths.push_back(Load(key).MenuBannerWidth);
    }
    EXPECT_EQ((std::vector<int>{100, 100, 100, 2, 2, 2, 2}), widths);
}

TEST(SettingsStore, ASystemColourIsWrittenAsItsSignedCodeAndReadsBackTheSame) {
    ScratchKey key;
    LauncherSettings s;
    s.UpperColor = SystemColorCode(COLOR_INFOBK);
    s.BottomColor = 0x3C14DC;
    Save(key, s);
    EXPECT_EQ(L"-2147483624", key.GetString(S, L"UpperColor"));
    EXPECT_EQ(L"3937500", key.GetString(S, L"BottomColor"));
    LauncherSettings back = Load(key);
    EXPECT_EQ(SystemColorCode(COLOR_INFOBK), back.UpperColor);
    EXPECT_EQ(0x3C14DC, back.BottomColor);
}

TEST(SettingsStore, NumbersStoredAsNumbersReadAsThoseNumbers) {
    // Written by hand or by another tool; a wrong type must never stop the program.
    ScratchKey key;
    key.SetDword(S, L"ShowHintFrom", 500);
    key.SetDword(S, L"UpperColor", 0x80000018);
    key.SetQword(S, L"Startup", 1);
    key.SetQword(S, L"BannerFontHeight", static_cast<ULONGLONG>(-24LL));
    key.SetQword(S, L"MenuBannerWidth", 0x100000000ull); // no 32-bit number: the default
    key.SetDword(S, L"BannerText", 7);                   // a text value of another type
    key.SetBinary(S, L"MenuDrawStyle");
    key.SetDword(S, L"MenuCount", 1);
    key.SetDword(M, L"Caption0", 5);
    key.SetString(M, L"Path0", L"C:\\x.txt");
    LauncherSettings s = Load(key);
    EXPECT_EQ(500, s.ShowHintFrom);
    EXPECT_EQ(SystemColorCode(COLOR_INFOBK), s.UpperColor);
    EXPECT_TRUE(s.Startup);
    EXPECT_EQ(-24, s.BannerFontHeight);
    EXPECT_EQ(28, s.MenuBannerWidth);
    EXPECT_EQ(L"Tolvern Launcher", s.BannerText);
    EXPECT_EQ(0, s.MenuDrawStyle);
    ASSERT_EQ(1u, s.MyMenu.size());
    EXPECT_EQ((MyMenuEntry{L"", L"C:\\x.txt"}), s.MyMenu[0]);
}

TEST(SettingsStore, SavingFewerEntriesLeavesExactlyTheCurrentOnes) {
    ScratchKey key;
    LauncherSettings s;
    s.MyMenu = {{L"メモ帳", L"C:\\windows\\notepad.exe"},
                {L"A && B", L"C:\\docs"},
                {L"Web", L"C:\\links\\site.url"}};
    Save(key, s);
    EXPECT_EQ(L"3", key.GetString(S, L"MenuCount"));
    EXPECT_EQ(Sorted({L"Caption0", L"Caption1", L"Caption2", L"Path0", L"Path1", L"Path2"}),
              Sorted(key.ValueNames(M)));
    EXPECT_EQ(s.MyMenu, Load(key).MyMenu);

    s.MyMenu.erase(s.MyMenu.begin() + 1);
    Save(key, s);
    EXPECT_EQ(L"2", key.GetString(S, L"MenuCount"));
    EXPECT_EQ(Sorted({L"Caption0", L"Caption1", L"Path0", L"Path1"}), Sorted(key.ValueNames(M)));
    EXPECT_EQ(L"Web", key.GetString(M, L"Caption1"));
    EXPECT_EQ(s.MyMenu, Load(key).MyMenu);

    s.MyMenu.clear();
    Save(key, s);
    EXPECT_FALSE(key.SectionExists(M));
}

TEST(SettingsStore, ACountBeyondTheStoredPairsGivesEmptyEntriesAndExtraPairsAreIgnored) {
    ScratchKey key;
    key.SetString(S, L"MenuCount", L"2");
    key.SetString(M, L"Caption0", L"one");
    key.SetString(M, L"Path0", L"C:\\one");
    key.SetString(M, L"Caption5", L"stray");
    LauncherSettings s = Load(key);
    ASSERT_EQ(2u, s.MyMenu.size());
    EXPECT_EQ((MyMenuEntry{L"one", L"C:\\one"}), s.MyMenu[0]);
    EXPECT_EQ(MyMenuEntry{}, s.MyMenu[1]);
    key.SetString(S, L"MenuCount", L"-3");
    EXPECT_TRUE(Load(key).MyMenu.empty());

    // A count no save could have written reads no more entries than the section has values.
    key.SetString(S, L"MenuCount", L"2147483647");
    const std::vector<MyMenuEntry> threeValues = {
        {L"one", L"C:\\one"}, MyMenuEntry{}, MyMenuEntry{}};
    EXPECT_EQ(threeValues, Load(key).MyMenu);
    ScratchKey empty;
    empty.SetString(S, L"MenuCount", L"1000");
    EXPECT_TRUE(Load(empty).MyMenu.empty());
}

TEST(SettingsStore, AFailedSaveKeepsTheStoredEntries) {
    ScratchKey key;
    LauncherSettings s;
    s.MyMenu = {{L"one", L"C:\\one"}, {L"two", L"C:\\two"}};
    Save(key, s);
    key.DenyWrites(M);
    s.MyMenu = {{L"new", L"C:\\new"}};
    EXPECT_THROW(Save(key, s), RegistryError);
    // The section could not be written: whatever it held is still there.
    EXPECT_EQ(L"one", key.GetString(M, L"Caption0"));
    EXPECT_EQ(L"C:\\two", key.GetString(M, L"Path1"));
    // and the count still matches them, so the next start shows the same two entries
    EXPECT_EQ((std::vector<MyMenuEntry>{{L"one", L"C:\\one"}, {L"two", L"C:\\two"}}),
              Load(key).MyMenu);
}

} // namespace
} // namespace tolvern
