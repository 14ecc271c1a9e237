// The hot-key text form in both directions.
#include "settings/shortcut_text.h"

#include <gtest/gtest.h>

namespace tolvern {
namespace {

constexpr ShortCut CtrlAlt(WORD key) {
    return static_cast<ShortCut>(kShortCutCtrl | kShortCutAlt | key);
}

TEST(ShortCutText, WritesModifiersInTheirFixedOrderThenTheKeyName) {
    EXPECT_EQ(L"Ctrl+Alt+F12", ShortCutToText(CtrlAlt(VK_F12)));
    EXPECT_EQ(L"Ctrl+Alt+L", ShortCutToText(CtrlAlt('L')));
    EXPECT_EQ(L"Shift+Ctrl+Alt+Home",
              ShortCutToText(static_cast<ShortCut>(kShortCutShift | CtrlAlt(VK_HOME))));
    EXPECT_EQ(L"Alt+BkSp", ShortCutToText(static_cast<ShortCut>(kShortCutAlt | VK_BACK)));
    EXPECT_EQ(L"Ctrl+PgDn", ShortCutToText(static_cast<ShortCut>(kShortCutCtrl | VK_NEXT)));
    EXPECT_EQ(L"Ctrl+Alt+F24", ShortCutToText(CtrlAlt(VK_F24)));
}

TEST(ShortCutText, ReadsPrefixesInAnyCaseOrderAndRepetition) {
    EXPECT_EQ(CtrlAlt(VK_F12), TextToShortCut(L"Ctrl+Alt+F12"));
    EXPECT_EQ(CtrlAlt('L'), TextToShortCut(L"alt+ctrl+l"));
    EXPECT_EQ(L"Ctrl+Alt+L", ShortCutToText(TextToShortCut(L"alt+ctrl+l")));
    EXPECT_EQ(CtrlAlt(VK_HOME), TextToShortCut(L"^Alt+Home"));
    EXPECT_EQ(CtrlAlt('A'), TextToShortCut(L"CTRL+ctrl+ALT+a"));
    EXPECT_EQ(static_cast<ShortCut>(kShortCutShift | 'Q'), TextToShortCut(L"shift+Q"));
}

TEST(ShortCutText, ANumericPadDigitIsWrittenAsTheDigitAndReadsBackAsTheMainKey) {
    const std::wstring text = ShortCutToText(CtrlAlt(VK_NUMPAD7));
    EXPECT_EQ(L"Ctrl+Alt+7", text);
    EXPECT_EQ(CtrlAlt('7'), TextToShortCut(text));
}

TEST(ShortCutText, UnknownOrEmptyKeysGiveNoHotKey) {
    EXPECT_EQ(0, TextToShortCut(L""));
    EXPECT_EQ(0, TextToShortCut(L"Ctrl+Alt+"));
    EXPECT_EQ(0, TextToShortCut(L"Ctrl+Alt+NoSuchKey"));
    EXPECT_EQ(0, TextToShortCut(L"Win+L"));
}

TEST(ShortCutText, EveryNamedKeyReadsBackToItself) {
    // Keys without a name of their own use the system's; whatever name is written must
    // read back to a key with the same name, or the stored hot key would change.
    for (int vk = 0x08; vk <= 0xFF; ++vk) {
        const std::wstring name = KeyName(static_cast<BYTE>(vk));
        if (name.empty())
            continue;
        const ShortCut read = TextToShortCut(L"Ctrl+" + name);
        ASSERT_NE(0, read) << "key " << vk << " named " << testing::PrintToString(name);
        EXPECT_EQ(name, KeyName(static_cast<BYTE>(read & 0xFF))) << "key " << vk;
    }
}

} // namespace
} // namespace tolvern
