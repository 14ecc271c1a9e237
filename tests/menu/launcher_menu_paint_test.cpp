// Painting of launcher submenu items on memory DCs: icon, text, the "Office97" frame and the
// highlight, in both styles and in a second column.
#include "shell_fixture.h"

#include "framework/canvas.h"

#include <algorithm>
#include <iterator>

namespace tolvern::test {
namespace {

constexpr COLORREF kUntouched = RGB(255, 0, 255); // the bitmap before painting
constexpr COLORREF kPoolColor = RGB(10, 200, 30);
constexpr COLORREF kListColor = RGB(200, 30, 160);
constexpr int kRowHeight = 19; // the toolkit's height of a submenu text item

// An opaque 16x16 icon of one colour.
UniqueIcon SolidIcon(COLORREF color) {
    HDC screen = ::GetDC(nullptr);
    UniqueBitmap picture(::CreateCompatibleBitmap(screen, 16, 16));
    ::ReleaseDC(nullptr, screen);
    {
        UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
        SelectGuard select(dc.get(), picture.get());
        UniqueBrush brush(::CreateSolidBrush(color));
        RECT all{0, 0, 16, 16};
        ::FillRect(dc.get(), &all, brush.get());
    }
    const std::vector<BYTE> zeros(16 * 16 / 8, 0); // mask: every pixel opaque
    UniqueBitmap mask(::CreateBitmap(16, 16, 1, 1, zeros.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), picture.get()};
    return UniqueIcon(::CreateIconIndirect(&info));
}

COLORREF Sys(int index) {
    return ::GetSysColor(index);
}

// Wine's default scheme paints menus in the button-highlight white, which would hide the
// frame's light edge; the tests use a scheme whose colours all differ, and restore the old one.
class DistinctSystemColors {
public:
    DistinctSystemColors() {
        for (size_t i = 0; i < std::size(kIndices); ++i)
            old_[i] = Sys(kIndices[i]);
        const COLORREF colors[] = {RGB(236, 233, 216), RGB(0, 0, 0),       RGB(49, 106, 197),
                                   RGB(255, 255, 255), RGB(255, 255, 250), RGB(128, 128, 120)};
        ::SetSysColors(static_cast<int>(std::size(kIndices)), kIndices, colors);
    }
    ~DistinctSystemColors() {
        ::SetSysColors(static_cast<int>(std::size(kIndices)), kIndices, old_);
    }
    DistinctSystemColors(const DistinctSystemColors&) = delete;
    DistinctSystemColors& operator=(const DistinctSystemColors&) = delete;

private:
    static constexpr INT kIndices[] = {COLOR_MENU,          COLOR_MENUTEXT,     COLOR_HIGHLIGHT,
                                       COLOR_HIGHLIGHTTEXT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    COLORREF old_[std::size(kIndices)] = {};
};

// The caption's ink (pixels that differ from the background) relative to the text origin.
struct Ink {
    std::vector<POINT> points;
    bool operator==(const Ink& other) const {
        return std::equal(points.begin(), points.end(), other.points.begin(), other.points.end(),
                          [](POINT a, POINT b) { return a.x == b.x && a.y == b.y; });
    }
};

class PaintTest : public testing::Test {
protected:
    DistinctSystemColors colors;
    MenuEnv env;
    TBitmap bitmap;
    TMenuItem parent; // a folder submenu: its children's images come from ImageList_small
    TMenuItem* item = nullptr;
    HICON poolIcon = nullptr;

    void SetUp() override {
        ASSERT_NE(Sys(COLOR_MENU), Sys(COLOR_HIGHLIGHT));
        ASSERT_NE(Sys(COLOR_MENU), Sys(COLOR_BTNHIGHLIGHT));
        ASSERT_NE(Sys(COLOR_MENU), Sys(COLOR_BTNSHADOW));
        // A pool entry whose icon the test knows.
        poolIcon = SolidIcon(kPoolColor).release();
        const int index = env.shell.ItemIdPool.Add(nullptr);
        ASSERT_EQ(index, env.shell.IconHandlePool.Add(poolIcon));
        parent.SubMenuImages = &env.menu.ImageList_small;
        item = parent.Add(std::make_unique<TMenuItem>(L"Tools && Co"));
        item->Tag = index;
        bitmap.SetSize(320, 3 * kRowHeight);
    }

    void Clear() {
        TCanvas& canvas = bitmap.Canvas();
        canvas.Brush.Color = static_cast<TColor>(kUntouched);
        canvas.FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
    }
    // As the toolkit calls the handler: menu font, and the text colour of the state.
    void Paint(const RECT& rect, bool selected) {
        TCanvas& canvas = bitmap.Canvas();
        canvas.Font.AssignLogFont(MenuLogFont());
        canvas.Font.Color = selected ? clHighlightText : clMenuText;
        env.menu.PopupMenu_DrawItem(item, canvas, rect, selected);
    }
    COLORREF Pixel(int x, int y) { return ::GetPixel(bitmap.Canvas().Handle(), x, y) & 0xFFFFFF; }

    // The caption as the text rectangle's origin would show it, drawn alone: its ink.
    Ink ExpectedInk(bool selected) {
        TBitmap alone;
        alone.SetSize(bitmap.Width(), kRowHeight * 2);
        TCanvas& canvas = alone.Canvas();
        canvas.Brush.Color = selected ? clHighlight : clMenu;
        canvas.FillRect(RECT{0, 0, alone.Width(), alone.Height()});
        canvas.Font.AssignLogFont(MenuLogFont());
        canvas.Font.Color = selected ? clHighlightText : clMenuText;
        canvas.SetTransparentText(true);
        RECT r{0, 0, alone.Width(), alone.Height()};
        canvas.DrawText(L"Tools & Co", r, DT_NOPREFIX);
        return InkOf(canvas.Handle(), RECT{0, 0, alone.Width(), alone.Height()},
                     ColorToRGB(canvas.Brush.Color), POINT{0, 0});
    }
    static Ink InkOf(HDC dc, const RECT& area, COLORREF background, POINT origin) {
        Ink ink;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if ((::GetPixel(dc, x, y) & 0xFFFFFF) != background)
                    ink.points.push_back(POINT{x - origin.x, y - origin.y});
        return ink;
    }

    // Every pixel of the row that is neither icon nor text, in both styles and states, and
    // nothing outside the row.
    void ExpectRow(const RECT& r, int style, bool selected) {
        const bool office97 = style == 1;
        const COLORREF state = selected ? Sys(COLOR_HIGHLIGHT) : Sys(COLOR_MENU);
        const RECT iconRect{r.left + 1, r.top + 1, r.left + 17, r.top + 17};
        const RECT textArea{r.left + 20, r.top, r.right, r.bottom};
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                const POINT p{x, y};
                const COLORREF c = Pixel(x, y);
                if (!::PtInRect(&r, p)) {
                    ASSERT_EQ(kUntouched, c) << "outside the row at " << x << "," << y;
                } else if (::PtInRect(&iconRect, p)) {
                    ASSERT_EQ(kPoolColor, c) << "icon at " << x << "," << y;
                } else if (::PtInRect(&textArea, p)) {
                    // The highlight starts 20 pixels in ("Office97") or covers the row.
                    if (c != state) {
                        ASSERT_GE(x, r.left + 22) << "ink left of the text at " << y;
                    }
                } else if (office97 && selected && (x == r.left || y == r.top) && x < r.left + 18 &&
                           y < r.bottom - 1) {
                    ASSERT_EQ(Sys(COLOR_BTNHIGHLIGHT), c) << "frame at " << x << "," << y;
                } else if (office97 && selected && (x == r.left + 18 || y == r.bottom - 1) &&
                           x <= r.left + 18) {
                    ASSERT_EQ(Sys(COLOR_BTNSHADOW), c) << "frame at " << x << "," << y;
                } else {
                    ASSERT_EQ(office97 ? Sys(COLOR_MENU) : state, c) << "at " << x << "," << y;
                }
            }
        }
        // The text starts 22 pixels in, at the height that centres the font in the row.
        const int textTop = r.top + (r.bottom - r.top + bitmap.Canvas().Font.Height) / 2;
        const RECT inkArea{r.left + 20, r.top, r.right, r.bottom};
        EXPECT_EQ(ExpectedInk(selected),
                  InkOf(bitmap.Canvas().Handle(), inkArea, state, POINT{r.left + 22, textTop}));
    }
};

TEST_F(PaintTest, BothStylesBothStatesInTheFirstAndASecondColumn) {
    ASSERT_LT(MenuLogFont().lfHeight, 0) << "a character height, so the text centres";
    const RECT firstColumn{0, 0, 160, kRowHeight};
    const RECT secondColumn{160, kRowHeight, 320, 2 * kRowHeight};
    for (const RECT& rect : {firstColumn, secondColumn}) {
        for (int style : {0, 1}) {
            for (bool selected : {false, true}) {
                SCOPED_TRACE(testing::Message() << "left " << rect.left << ", style " << style
                                                << (selected ? ", selected" : ""));
                env.menu.SetDrawStyle(style);
                Clear();
                Paint(rect, selected);
                ExpectRow(rect, style, selected);
            }
        }
    }
}

TEST_F(PaintTest, IconComesFromTheImageListOrFromThePoolAtTheTag) {
    const RECT rect{0, 0, 160, kRowHeight};
    {
        UniqueIcon listed = SolidIcon(kListColor);
        item->ImageIndex = env.menu.ImageList_small.AddIcon(listed.get());
        ASSERT_GE(item->ImageIndex, 7) << "after the stock images";
    }
    Clear();
    Paint(rect, false);
    EXPECT_EQ(kListColor, Pixel(1, 1));
    EXPECT_EQ(kListColor, Pixel(16, 16));

    item->ImageIndex = -1;
    Clear();
    Paint(rect, false);
    EXPECT_EQ(kPoolColor, Pixel(1, 1));
    EXPECT_EQ(kPoolColor, Pixel(16, 16));
    // The pool icon was only lent to the painting.
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(poolIcon, &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    EXPECT_EQ(poolIcon, env.shell.PoolIcon(static_cast<int>(item->Tag)));
}

} // namespace
} // namespace tolvern::test
