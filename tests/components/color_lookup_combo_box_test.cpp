// TColorLookupComboBox on a real combo box window: entry lists read back from the window,
// selected colours, custom colours through the real colour dialog, and entry drawing.
#include "components/color_lookup_combo_box.h"
#include "framework/window.h"

#include "support/screen_capture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tolvern {
namespace {

struct Entry {
    std::wstring text;
    TColor color;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
    *os << "{" << testing::PrintToString(e.text) << ", " << std::hex
        << static_cast<unsigned>(e.color) << "}";
}

// A top-level window of its own class that does nothing but hold the box.
class HostWindow {
public:
    HostWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"ColourBoxHost";
        ::RegisterClassW(&wc);
        hwnd =
            ::CreateWindowExW(0, L"ColourBoxHost", L"colour box", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              40, 40, 320, 320, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~HostWindow() { ::DestroyWindow(hwnd); }
    HWND hwnd;
};

std::vector<Entry> Entries(HWND combo) {
    std::vector<Entry> entries;
    const auto count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)), L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        const auto data = ::SendMessageW(combo, CB_GETITEMDATA, i, 0);
        entries.push_back({text, static_cast<TColor>(static_cast<unsigned>(data))});
    }
    return entries;
}

std::vector<Entry> Standard() {
    return {{L"黒", 0x000000},   {L"茶色", 0x000080}, {L"緑", 0x008000},   {L"オリーブ", 0x008080},
            {L"紺", 0x800000},   {L"紫", 0x800080},   {L"青緑", 0x808000}, {L"灰色", 0x808080},
            {L"銀色", 0xC0C0C0}, {L"赤", 0x0000FF},   {L"黄緑", 0x00FF00}, {L"黄", 0x00FFFF},
            {L"青", 0xFF0000},   {L"赤紫", 0xFF00FF}, {L"水色", 0xFFFF00}, {L"白", 0xFFFFFF}};
}

// The settings dialog's colour boxes: Japanese standard colours, then the 154 extended colours
// in the dialog's order, the system colours by number and the three given values exact.
TEST(ColorLookupComboBox, SettingsBoxListsStandardThenExtendedColours) {
    HostWindow host;
    TColorLookupComboBox box;
    box.SetSelection({csSystemJ, csExtended});
    box.SetExtendedColors(JapaneseExtendedColorLines());
    box.CreateWnd(host.hwnd, 100, 10, 10);

    const std::vector<std::pair<std::wstring, unsigned>> system = {
        {L"スクロールバーの色", 0x80000000},
        {L"デスクトップ背景", 0x80000001},
        {L"作業領域", 0x8000000C},
        {L"ウィンドウ背景", 0x80000005},
        {L"アクティブタイトルバー", 0x80000002},
        {L"アクティブタイトル文字", 0x80000009},
        {L"アクティブウィンドウ境界", 0x8000000A},
        {L"非アクティブタイトルバー", 0x80000003},
        {L"非アクティブタイトル文字", 0x80000013},
        {L"非アクティブウィンドウ境界", 0x8000000B},
        {L"メニュー背景", 0x80000004},
        {L"メニュー文字", 0x80000007},
        {L"ウィンドウ枠", 0x80000006},
        {L"ウィンドウ文字", 0x80000008},
        {L"選択背景", 0x8000000D},
        {L"選択文字", 0x8000000E},
        {L"淡色文字", 0x80000011},
        {L"ボタン強調", 0x80000014},
        {L"ボタン強調縁", 0x80000016},
        {L"ボタン面", 0x8000000F},
        {L"ボタン影", 0x80000010},
        {L"ボタン暗影", 0x80000015},
        {L"ボタン文字", 0x80000012},
        {L"ヒント文字", 0x80000017},
        {L"ヒント背景", 0x80000018}};
    // The named colours with the web's published values (#RRGGBB); Brass, CoolCopper, Copper,
    // Cornflower, DarkBrown, Feldspar and RichBlue with those of the usual extended tables.
    const std::vector<std::pair<std::wstring, unsigned>> named = {
        {L"アリスブルー", 0xF0F8FF},               // AliceBlue
        {L"アンティークホワイト", 0xFAEBD7},       // AntiqueWhite
        {L"アクアマリン", 0x7FFFD4},               // Aquamarine
        {L"青空", 0xF0FFFF},                       // Azure
        {L"薄茶褐色", 0xF5F5DC},                   // Beige
        {L"素焼き色", 0xFFE4C4},                   // Bisque
        {L"漂白アーモンド", 0xFFEBCD},             // BlanchedAlmond
        {L"青菫", 0x8A2BE2},                       // BlueViolet
        {L"真鍮", 0xB5A642},                       // Brass
        {L"茶色", 0xA52A2A},                       // Brown
        {L"木肌", 0xDEB887},                       // BurlyWood
        {L"士官候補生制服", 0x5F9EA0},             // CadetBlue
        {L"明るい黄緑", 0x7FFF00},                 // Chartreuse
        {L"チョコレート", 0xD2691E},               // Chocolate
        {L"冷却銅", 0xD98719},                     // CoolCopper
        {L"銅", 0xB87333},                         // Copper
        {L"珊瑚", 0xFF7F50},                       // Coral
        {L"ヤグルマギク", 0x9ACEEB},               // Cornflower
        {L"ヤグルマギクの青", 0x6495ED},           // CornflowerBlue
        {L"トウモロコシの稲毛", 0xFFF8DC},         // Cornsilk
        {L"深紅", 0xDC143C},                       // Crimson
        {L"暗い青", 0x00008B},                     // DarkBlue
        {L"暗い茶色", 0x5C4033},                   // DarkBrown
        {L"暗いシアン", 0x008B8B},                 // DarkCyan
        {L"暗いアキノキリンソウ", 0xB8860B},       // DarkGoldenrod
        {L"暗い灰色", 0xA9A9A9},                   // DarkGray
        {L"暗い緑", 0x006400},                     // DarkGreen
        {L"暗いカーキー", 0xBDB76B},               // DarkKhaki
        {L"暗いマゼンタ", 0x8B008B},               // DarkMagenta
        {L"暗いオリーブグリーン", 0x556B2F},       // DarkOliveGreen
        {L"暗いオレンジ", 0xFF8C00},               // DarkOrange
        {L"暗い薄紫", 0x9932CC},                   // DarkOrchid
        {L"暗い赤", 0x8B0000},                     // DarkRed
        {L"暗いサーモン", 0xE9967A},               // DarkSalmon
        {L"暗い海色", 0x8FBC8F},                   // DarkSeaGreen
        {L"暗い青石版", 0x483D8B},                 // DarkSlateBlue
        {L"暗い石版", 0x2F4F4F},                   // DarkSlateGray
        {L"暗いトルコ石", 0x00CED1},               // DarkTurquoise
        {L"暗い菫", 0x9400D3},                     // DarkViolet
        {L"暗いピンク", 0xFF1493},                 // DeepPink
        {L"深いスカイブルー", 0x00BFFF},           // DeepSkyBlue
        {L"薄暗い灰色", 0x696969},                 // DimGray
        {L"ドジャーブルー", 0x1E90FF},             // DodgerBlue
        {L"長石", 0xD19275},                       // Feldspar
        {L"耐火煉瓦", 0xB22222},                   // FireBrick
        {L"フローラルホワイト", 0xFFFAF0},         // FloralWhite
        {L"森の緑", 0x228B22},                     // ForestGreen
        {L"ゲインスボーロ", 0xDCDCDC},             // Gainsboro
        {L"ゴーストホワイト", 0xF8F8FF},           // GhostWhite
        {L"金色", 0xFFD700},                       // Gold
        {L"アキノキリンソウ", 0xDAA520},           // Goldenrod
        {L"グリーンイエロー", 0xADFF2F},           // GreenYellow
        {L"甘露", 0xF0FFF0},                       // Honeydew
        {L"ホットピンク", 0xFF69B4},               // HotPink
        {L"アメリカインディアン", 0xCD5C5C},       // IndianRed
        {L"藍", 0x4B0082},                         // Indigo
        {L"アイボリー", 0xFFFFF0},                 // Ivory
        {L"カーキ", 0xF0E68C},                     // Khaki
        {L"ラベンダー", 0xE6E6FA},                 // Lavender
        {L"明るいラベンダー", 0xFFF0F5},           // LavenderBlush
        {L"芝生", 0x7CFC00},                       // LawnGreen
        {L"レモン絹布", 0xFFFACD},                 // LemonChiffon
        {L"明るい青", 0xADD8E6},                   // LightBlue
        {L"明るい珊瑚", 0xF08080},                 // LightCoral
        {L"明るいシアン", 0xE0FFFF},               // LightCyan
        {L"明るい黄色アキノキリンソウ", 0xFAFAD2}, // LightGoldenrodYellow
        {L"明るい緑", 0x90EE90},                   // LightGreen
        {L"明るい灰色", 0xD3D3D3},                 // LightGray
        {L"明るいピンク", 0xFFB6C1},               // LightPink
        {L"明るいサーモン", 0xFFA07A},             // LightSalmon
        {L"明るい海色", 0x20B2AA},                 // LightSeaGreen
        {L"明るい空色", 0x87CEFA},                 // LightSkyBlue
        {L"明るい石版", 0x778899},                 // LightSlateGray
        {L"明るい鋼青", 0xB0C4DE},                 // LightSteelBlue
        {L"明るい黄色", 0xFFFFE0},                 // LightYellow
        {L"ライムグリーン", 0x32CD32},             // LimeGreen
        {L"亜麻布", 0xFAF0E6},                     // Linen
        {L"中位のアクアマリン", 0x66CDAA},         // MediumAquamarine
        {L"中位の青", 0x0000CD},                   // MediumBlue
        {L"中位の薄紫", 0xBA55D3},                 // MediumOrchid
        {L"中位の紫", 0x9370DB},                   // MediumPurple
        {L"中位の青石版", 0x7B68EE},               // MediumSlateBlue
        {L"中位の海色", 0x3CB371},                 // MediumSeaGreen
        {L"中位の春草", 0x00FA9A},                 // MediumSpringGreen
        {L"中位のトルコ石", 0x48D1CC},             // MediumTurquoise
        {L"中位の赤菫", 0xC71585},                 // MediumVioletRed
        {L"深夜の青", 0x191970},                   // MidnightBlue
        {L"ミントクリーム", 0xF5FFFA},             // MintCream
        {L"霧のバラ", 0xFFE4E1},                   // MistyRose
        {L"北米インディアンの靴", 0xFFE4B5},       // Moccasin
        {L"ナバホ族の白", 0xFFDEAD},               // NavajoWhite
        {L"古いレース", 0xFDF5E6},                 // OldLace
        {L"濃黄緑", 0x6B8E23},                     // OliveDrab
        {L"オレンジ", 0xFFA500},                   // Orange
        {L"オレンジ果肉", 0xFF4500},               // OrangeRed
        {L"薄紫", 0xDA70D6},                       // Orchid
        {L"真珠のアキノキリンソウ", 0xEEE8AA},     // PaleGoldenrod
        {L"真珠の緑", 0x98FB98},                   // PaleGreen
        {L"真珠のトルコ石", 0xAFEEEE},             // PaleTurquoise
        {L"真珠の赤菫", 0xDB7093},                 // PaleVioletRed
        {L"パパイヤホイップ", 0xFFEFD5},           // PapayaWhip
        {L"桃のパフェ", 0xFFDAB9},                 // PeachPuff
        {L"ペルー", 0xCD853F},                     // Peru
        {L"ピンク", 0xFFC0CB},                     // Pink
        {L"プラム", 0xDDA0DD},                     // Plum
        {L"淡青色", 0xB0E0E6},                     // PowderBlue
        {L"鮮やかな青", 0x5959AB},                 // RichBlue
        {L"明るい茶色", 0xBC8F8F},                 // RosyBrown
        {L"濃青色", 0x4169E1},                     // RoyalBlue
        {L"鞍の茶色", 0x8B4513},                   // SaddleBrown
        {L"サーモン", 0xFA8072},                   // Salmon
        {L"砂色", 0xF4A460},                       // SandyBrown
        {L"海色", 0x2E8B57},                       // SeaGreen
        {L"貝殻", 0xFFF5EE},                       // Seashell
        {L"黄褐色", 0xA0522D},                     // Sienna
        {L"スカイブルー", 0x87CEEB},               // SkyBlue
        {L"青石版", 0x6A5ACD},                     // SlateBlue
        {L"石版", 0x708090},                       // SlateGray
        {L"雪色", 0xFFFAFA},                       // Snow
        {L"春草", 0x00FF7F},                       // SpringGreen
        {L"鋼青", 0x4682B4},                       // SteelBlue
        {L"タン皮", 0xD2B48C},                     // Tan
        {L"アザミ", 0xD8BFD8},                     // Thistle
        {L"トマト", 0xFF6347},                     // Tomato
        {L"トルコ石", 0x40E0D0},                   // Turquoise
        {L"菫", 0xEE82EE},                         // Violet
        {L"小麦色", 0xF5DEB3},                     // Wheat
        {L"白煙", 0xF5F5F5},                       // WhiteSmoke
        {L"黄緑", 0x9ACD32},                       // YellowGreen
    };

    const std::vector<Entry> entries = Entries(box.Handle());
    ASSERT_EQ(170u, entries.size());
    const std::vector<Entry> standard = Standard();
    EXPECT_EQ(standard, std::vector<Entry>(entries.begin(), entries.begin() + 16));
    std::vector<Entry> systemSeen(entries.begin() + 16, entries.begin() + 41);
    for (size_t i = 0; i < system.size(); ++i)
        EXPECT_EQ((Entry{system[i].first, static_cast<TColor>(system[i].second)}), systemSeen[i]);
    std::vector<std::pair<std::wstring, unsigned>> namedSeen;
    std::vector<unsigned> valuesSeen;
    for (auto it = entries.begin() + 41; it != entries.end(); ++it) {
        const unsigned bgr = static_cast<unsigned>(it->color);
        // Colour codes hold blue in the high byte: as the web writes it, red comes first.
        namedSeen.emplace_back(it->text, (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF) |
                                             (bgr & 0xFF000000u));
        valuesSeen.push_back(bgr);
    }
    EXPECT_EQ(named, namedSeen);
    // Each of the 154 table rows reaches the box through its name=value line unchanged.
    std::vector<Entry> fromTable;
    for (const NamedColor& c : JapaneseExtendedColors())
        fromTable.push_back({c.name, static_cast<TColor>(c.value)});
    EXPECT_EQ(fromTable, std::vector<Entry>(entries.begin() + 16, entries.end()));
    EXPECT_EQ((Entry{L"アリスブルー", 0xFFF8F0}), entries[41]);
    EXPECT_EQ((Entry{L"深紅", 0x3C14DC}), entries[41 + 20]);
    EXPECT_EQ((Entry{L"黄緑", 0x32CD9A}), entries[169]);
    // Every named colour is a plain colour of its own: none repeats another or a standard one,
    // so a stored colour always shows under the name it was chosen by.
    for (size_t i = 0; i < valuesSeen.size(); ++i) {
        EXPECT_EQ(0u, valuesSeen[i] & 0xFF000000u) << i;
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(valuesSeen[i], valuesSeen[j]) << i << " " << j;
        for (const Entry& s : standard)
            EXPECT_NE(static_cast<unsigned>(s.color), valuesSeen[i]) << i;
    }
    EXPECT_EQ(L"アリスブルー=$FFF8F0", JapaneseExtendedColorLines()[25]);
    EXPECT_EQ(L"スクロールバーの色=$80000000", JapaneseExtendedColorLines()[0]);

    // Teal picks the standard entry even with an extended twin listed after it.
    box.SetExtendedColors({L"twin=$808000"});
    box.SetSelectedColor(0x808000);
    EXPECT_EQ(6, ::SendMessageW(box.Handle(), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(L"青緑", WindowText(box.Handle()));
    EXPECT_EQ(0x808000, box.SelectedColor());
    // A colour listed nowhere, without custom colours: the box is empty and reads none.
    box.SetSelectedColor(0x123456);
    EXPECT_EQ(-1, ::SendMessageW(box.Handle(), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(L"", WindowText(box.Handle()));
    EXPECT_EQ(clNone, box.SelectedColor());
    EXPECT_EQ(17, ::SendMessageW(box.Handle(), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(-1, box.AddCustomColor(L"x", 0x123456));
    EXPECT_EQ(17, ::SendMessageW(box.Handle(), CB_GETCOUNT, 0, 0));
}

// Blocks in their fixed order, extended lines parsed (no name, not a number), custom colours
// kept before "その他..." up to MaxCustomCount, and dropped when the selection set changes.
TEST(ColorLookupComboBox, BlocksExtendedLinesAndCustomColours) {
    HostWindow host;
    TColorLookupComboBox box;
    box.CreateWnd(host.hwnd, 100, 10, 10);
    EXPECT_EQ(Standard(), Entries(box.Handle())); // the constructor's Japanese block only

    int loads = 0;
    box.OnLoadExtendedColors = [&](TColorLookupComboBox* sender) {
        ++loads;
        sender->SetExtendedColors({L"千=1,000", L"=$FF", L"no equals", L"b=$ff", L"c=255",
                                   L"d=-2147483648", L"e=$1FFFFFFFF", L"f=12a", L"g=$", L"h=x=1"});
    };
    box.SetDefaultColor(0x00AA00);
    box.SetSelection({csExtended, csCustom, csSystem, csDefault});
    EXPECT_EQ(1, loads);
    std::vector<Entry> expected = {{L"標準", 0x00AA00}};
    const std::vector<std::wstring> english = {
        L"Black",  L"Maroon", L"Green", L"Olive",  L"Navy", L"Purple",  L"Teal", L"Gray",
        L"Silver", L"Red",    L"Lime",  L"Yellow", L"Blue", L"Fuchsia", L"Aqua", L"White"};
    for (size_t i = 0; i < 16; ++i)
        expected.push_back({english[i], Standard()[i].color});
    for (const Entry& e : std::vector<Entry>{{L"千", clNone},
                                             {L"b", 0xFF},
                                             {L"c", 255},
                                             {L"d", static_cast<TColor>(0x80000000u)},
                                             {L"e", clNone},
                                             {L"f", clNone},
                                             {L"g", clNone},
                                             {L"h", clNone},
                                             {L"その他...", clNone}})
        expected.push_back(e);
    EXPECT_EQ(expected, Entries(box.Handle()));
    EXPECT_EQ(0, box.CustomCount());

    // Unknown colours become custom entries; the fourth drops the first.
    const size_t base = expected.size() - 1;
    box.SetSelectedColor(0x123456);
    EXPECT_EQ(static_cast<LRESULT>(base), ::SendMessageW(box.Handle(), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0x123456, box.SelectedColor());
    EXPECT_EQ(static_cast<int>(base + 1), box.AddCustomColor(L"二", 0x222222));
    EXPECT_EQ(static_cast<int>(base + 2), box.AddCustomColor(L"", 0x0080FF));
    EXPECT_EQ(3, box.CustomCount());
    EXPECT_EQ(static_cast<int>(base + 2), box.AddCustomColor(L"四", 0x444444));
    EXPECT_EQ(3, box.CustomCount());
    std::vector<Entry> withCustom(expected.begin(), expected.end() - 1);
    for (const Entry& e : std::vector<Entry>{
             {L"二", 0x222222}, {L"$0080FF", 0x0080FF}, {L"四", 0x444444}, {L"その他...", clNone}})
        withCustom.push_back(e);
    EXPECT_EQ(withCustom, Entries(box.Handle()));
    EXPECT_EQ(clNone, box.SelectedColor()); // the selected first custom entry went away
    box.SetSelectedColor(0x444444);
    EXPECT_EQ(L"四", WindowText(box.Handle()));
    box.SetSelectedColor(clNone);
    EXPECT_EQ(clNone, box.SelectedColor());

    // A new selection set starts without custom entries and counts from zero.
    box.OnLoadExtendedColors = nullptr;
    box.SetSelection({csSystemJ, csCustom});
    std::vector<Entry> japaneseAndOther = Standard();
    japaneseAndOther.push_back({L"その他...", clNone});
    EXPECT_EQ(japaneseAndOther, Entries(box.Handle()));
    EXPECT_EQ(0, box.CustomCount());
    EXPECT_EQ(16, box.AddCustomColor(L"", static_cast<TColor>(0x80000005u)));
    EXPECT_EQ(L"$80000005", Entries(box.Handle())[16].text);
    EXPECT_EQ(1, box.CustomCount());

    // With no room for custom colours nothing is added and "その他..." stays put.
    box.SetMaxCustomCount(0);
    EXPECT_EQ(-1, box.AddCustomColor(L"", 0x111111));
    EXPECT_EQ(japaneseAndOther, Entries(box.Handle()));
}

// A combo box made elsewhere, as a dialog template makes it, taken over: entries and their
// height; a box of the wrong kind is refused; the parent is left alone once the box is gone.
TEST(ColorLookupComboBox, TakesOverATemplatesComboBox) {
    HostWindow host;
    auto make = [&](DWORD style) {
        return ::CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | style,
                                 10, 10, 150, 200, host.hwnd, reinterpret_cast<HMENU>(7), nullptr,
                                 nullptr);
    };
    HWND combo = make(TColorLookupComboBox::kRequiredStyles);
    {
        TColorLookupComboBox box;
        box.SetSelection({csDefault, csSystemJ});
        box.Attach(combo);
        EXPECT_EQ(combo, box.Handle());
        std::vector<Entry> expected = {{L"標準", clNone}};
        for (const Entry& e : Standard())
            expected.push_back(e);
        EXPECT_EQ(expected, Entries(combo));
        EXPECT_EQ(TColorLookupComboBox::kItemHeight, ::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
        box.SetSelectedColor(0xFFFFFF);
        EXPECT_EQ(L"白", WindowText(combo));

        TColorLookupComboBox wrong;
        EXPECT_THROW(wrong.Attach(make(CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS)),
                     std::invalid_argument);
        EXPECT_THROW(wrong.Attach(make(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED)),
                     std::invalid_argument);
    }
    // The box is gone: its window stays, and drawing requests reach the parent's own procedure.
    EXPECT_TRUE(::IsWindow(combo));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.hwndItem = combo;
    EXPECT_EQ(0, ::SendMessageW(host.hwnd, WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&dis)));
}

// The user picks "その他...": the real colour dialog opens, its colour becomes a custom entry;
// cancelling selects the entry before "その他...". OnChange follows each pick.
TEST(ColorLookupComboBox, OtherOpensTheColourDialog) {
    HostWindow host;
    TColorLookupComboBox box;
    box.SetSelection({csSystemJ, csCustom});
    box.CreateWnd(host.hwnd, 100, 10, 10);
    std::vector<TColor> changes;
    box.OnChange = [&](TColorLookupComboBox* sender) {
        changes.push_back(sender->SelectedColor());
    };

    // Answers the next colour dialog of this process: with a colour, or cancelled.
    auto answer = [](bool confirm, std::atomic<bool>& seen, std::wstring& initialRgb) {
        return std::thread([confirm, &seen, &initialRgb] {
            for (int i = 0; i < 200; ++i) {
                HWND dialog = ::FindWindowW(L"#32770", nullptr);
                DWORD pid = 0;
                if (dialog)
                    ::GetWindowThreadProcessId(dialog, &pid);
                if (dialog && pid == ::GetCurrentProcessId() && ::IsWindowVisible(dialog)) {
                    seen = true;
                    ::Sleep(200);
                    initialRgb.clear();
                    for (int edit : {706, 707, 708}) { // red, green, blue
                        wchar_t value[16]{};
                        ::GetDlgItemTextW(dialog, edit, value, 16);
                        initialRgb += value + std::wstring(L" ");
                    }
                    if (confirm) {
                        ::SetDlgItemTextW(dialog, 706, L"255"); // red
                        ::SetDlgItemTextW(dialog, 707, L"128"); // green
                        ::SetDlgItemTextW(dialog, 708, L"0");   // blue
                        ::Sleep(100);
                    }
                    ::PostMessageW(dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
                    return;
                }
                ::Sleep(50);
            }
        });
    };

    box.SetSelectedColor(0x808000);
    std::atomic<bool> seen = false;
    std::wstring initialRgb;
    std::thread driver = answer(true, seen, initialRgb);
    ::SetFocus(box.Handle());
    ::SendMessageW(box.Handle(), WM_KEYDOWN, VK_END, 0); // the user moves to the last entry
    driver.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(L"0 0 0 ", initialRgb); // black, not the teal shown
    std::vector<Entry> expected = Standard();
    expected.push_back({L"$0080FF", 0x0080FF});
    expected.push_back({L"その他...", clNone});
    EXPECT_EQ(expected, Entries(box.Handle()));
    EXPECT_EQ(L"$0080FF", WindowText(box.Handle()));
    EXPECT_EQ(std::vector<TColor>{0x0080FF}, changes);

    seen = false;
    driver = answer(false, seen, initialRgb);
    ::SendMessageW(box.Handle(), WM_KEYDOWN, VK_END, 0);
    driver.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(expected, Entries(box.Handle()));
    EXPECT_EQ(L"$0080FF", WindowText(box.Handle()));
    EXPECT_EQ((std::vector<TColor>{0x0080FF, 0x0080FF}), changes);
}

// Entries drawn through the parent's WM_DRAWITEM into a memory bitmap: swatch with a black
// outline and the entry's colour, the name right of it, or the whole entry in its colour.
TEST(ColorLookupComboBox, DrawsEntriesWithAndWithoutNames) {
    HostWindow host;
    TColorLookupComboBox box;
    box.SetSelection({csSystemJ, csExtended});
    box.SetExtendedColors({L"ボタン面=$8000000F"});
    box.CreateWnd(host.hwnd, 100, 10, 10);
    EXPECT_EQ(TColorLookupComboBox::kItemHeight,
              ::SendMessageW(box.Handle(), CB_GETITEMHEIGHT, 0, 0));

    TBitmap bitmap;
    bitmap.SetSize(120, 14);
    auto draw = [&](int index, UINT state) {
        bitmap.Canvas().Brush.Color = 0xFF00FF;
        bitmap.Canvas().FillRect(RECT{0, 0, 120, 14});
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = 100;
        dis.itemID = static_cast<UINT>(index);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = box.Handle();
        dis.hDC = bitmap.Canvas().Handle();
        dis.rcItem = RECT{0, 0, 120, 14};
        EXPECT_EQ(TRUE,
                  ::SendMessageW(host.hwnd, WM_DRAWITEM, 100, reinterpret_cast<LPARAM>(&dis)));
        return test::CaptureDC(bitmap.Canvas().Handle(), 120, 14);
    };
    auto check = [](const test::Image& image, COLORREF background, COLORREF swatch) {
        int textPixels = 0;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 120; ++x) {
                const COLORREF c = image.At(x, y);
                const bool inSwatch = x >= 2 && x < 26 && y >= 2 && y < 12;
                const bool outline = inSwatch && (x == 2 || x == 25 || y == 2 || y == 11);
                if (outline)
                    EXPECT_EQ(RGB(0, 0, 0), c) << x << "," << y;
                else if (inSwatch)
                    EXPECT_EQ(swatch, c) << x << "," << y;
                else if (x < 30)
                    EXPECT_EQ(background, c) << x << "," << y;
                else if (c != background)
                    ++textPixels;
            }
        EXPECT_GT(textPixels, 10);
    };
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    check(draw(6, 0), window, RGB(0, 0x80, 0x80));                          // 青緑
    check(draw(16, ODS_SELECTED), highlight, ::GetSysColor(COLOR_BTNFACE)); // a system colour

    box.SetShowName(false);
    for (int index : {6, 16}) {
        const test::Image image = draw(index, index == 16 ? ODS_SELECTED : 0);
        const COLORREF expected = index == 6 ? RGB(0, 0x80, 0x80) : ::GetSysColor(COLOR_BTNFACE);
        for (COLORREF c : image.pixels)
            ASSERT_EQ(expected, c) << index;
    }

    // The open list on screen, for a person to look at.
    box.SetShowName(true);
    box.SetSelectedColor(0x808000);
    ::SendMessageW(box.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(20);
    }
    RECT shot{};
    ::GetWindowRect(host.hwnd, &shot);
    shot.bottom += 200;
    EXPECT_FALSE(test::SaveArtifact(test::CaptureScreen(&shot), L"colour_box_open").empty());
    ::SendMessageW(box.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
}

} // namespace
} // namespace tolvern
