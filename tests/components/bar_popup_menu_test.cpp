// TBarPopupMenu's measuring and painting, read back from memory DCs through the component's
// own measure and draw events reached by the menu messages the system sends.
#include "components/bar_popup_menu.h"

#include "framework/image_list.h"
#include "support/gui_objects.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace tolvern {
namespace {

std::unique_ptr<TMenuItem> Item(const std::wstring& caption) {
    return std::make_unique<TMenuItem>(caption);
}

// Measures every visible top-level item with WM_MEASUREITEM and paints them, stacked from
// y = 0, into a bitmap with WM_DRAWITEM, as the system does when the menu shows.
class MenuPainter {
public:
    explicit MenuPainter(TBarPopupMenu& menu) : menu_(menu) {
        menu.PreparePopup();
        HMENU root = menu.Realize();
        int top = 0, width = 0;
        for (int pos = 0; pos < ::GetMenuItemCount(root); ++pos) {
            MENUITEMINFOW mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_ID;
            ::GetMenuItemInfoW(root, static_cast<UINT>(pos), TRUE, &mii);
            MEASUREITEMSTRUCT mis{};
            mis.CtlType = ODT_MENU;
            mis.itemID = mii.wID;
            mis.itemData = mii.wID;
            ::SendMessageW(menu.WindowHandle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
            ids.push_back(mii.wID);
            rects.push_back(RECT{0, top, 0, top + static_cast<int>(mis.itemHeight)});
            top += static_cast<int>(mis.itemHeight);
            width = std::max(width, static_cast<int>(mis.itemWidth));
        }
        for (RECT& r : rects)
            r.right = width;
        bitmap.SetSize(width, top);
        Fill(RGB(255, 0, 255));
    }
    void Fill(COLORREF color) {
        TCanvas& c = bitmap.Canvas();
        c.Brush.Color = static_cast<TColor>(color);
        c.FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
    }
    void Draw(size_t index, UINT state = 0) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemID = ids[index];
        dis.itemData = ids[index];
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hDC = bitmap.Canvas().Handle();
        dis.rcItem = rects[index];
        ::SendMessageW(menu_.WindowHandle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    }
    void DrawAll() {
        for (size_t i = 0; i < ids.size(); ++i)
            Draw(i);
    }
    COLORREF Pixel(int x, int y) { return ::GetPixel(bitmap.Canvas().Handle(), x, y) & 0xFFFFFF; }

    std::vector<UINT> ids;
    std::vector<RECT> rects;
    TBitmap bitmap;

private:
    TBarPopupMenu& menu_;
};

void AddLauncherLikeItems(TBarPopupMenu& menu) {
    menu.Items.Add(Item(L"デスクトップの表示(&V)"))->Default = true;
    menu.Items.Add(Item(L"-"));
    for (const wchar_t* c : {L"デスクトップ(&T)", L"プログラム(&P)", L"マイ ドキュメント(&M)"})
        menu.Items.Add(Item(c));
    menu.Items.Add(Item(L"-"));
    menu.Items.Add(Item(L"設定(&S)"));
    menu.Items.Add(Item(L"Windows の終了(&U)..."));
}

TEST(BarPopupMenu, ConstructorValues) {
    TBarPopupMenu menu;
    EXPECT_TRUE(menu.OwnerDraw);
    EXPECT_FALSE(menu.HasBitmap());
    EXPECT_EQ(31, menu.BarWidth);
    EXPECT_EQ(0, menu.BitmapOffsetX);
    EXPECT_EQ(0, menu.BitmapOffsetY);
    EXPECT_EQ(bvaBottom, menu.BitmapVertAlignment);
    EXPECT_EQ(bhaLeft, menu.BitmapHorzAlignment);
    EXPECT_TRUE(menu.BarVisible());
    EXPECT_EQ(clBlack, menu.GradientEnd);
    EXPECT_EQ(clBlue, menu.GradientStart);
    EXPECT_FALSE(menu.Transparent());
    menu.SetTransparent(true); // no picture: nothing happens
    EXPECT_FALSE(menu.HasBitmap());
    EXPECT_EQ(L"Tahoma", menu.VerticalFont.Name);
    EXPECT_EQ(clWhite, menu.VerticalFont.Color);
    EXPECT_EQ(fsBold | fsItalic, menu.VerticalFont.Style);
    EXPECT_EQ(-6, menu.VerticalTextOffsetY);
    EXPECT_EQ(0, menu.DrawStyle);
    EXPECT_EQ(16, menu.IconSize);
    EXPECT_NE(nullptr, menu.BarBuffer());
    // The picture is created on first read, transparent.
    EXPECT_TRUE(menu.Bitmap().Transparent);
    EXPECT_TRUE(menu.Transparent());
    menu.SetTransparent(false);
    EXPECT_FALSE(menu.Bitmap().Transparent);
}

TEST(BarPopupMenu, CreateRotatedFontCopiesTheFont) {
    TFont font;
    font.Name = L"Arial";
    font.Height = -19;
    font.Style = fsBold | fsItalic;
    font.Pitch = TFontPitch::fpVariable;
    HFONT rotated = TBarPopupMenu::CreateRotatedFont(font, 90);
    LOGFONTW lf{};
    ASSERT_TRUE(::GetObjectW(rotated, sizeof lf, &lf));
    EXPECT_EQ(-19, lf.lfHeight);
    EXPECT_EQ(900, lf.lfEscapement);
    EXPECT_EQ(0, lf.lfOrientation);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
    EXPECT_EQ(VARIABLE_PITCH, lf.lfPitchAndFamily);
    EXPECT_STREQ(L"Arial", lf.lfFaceName);
    ::DeleteObject(rotated);
}

TEST(BarPopupMenu, MeasuresItemsAndCountsTheBannerHeight) {
    TBarPopupMenu menu;
    menu.BarWidth = 28;
    AddLauncherLikeItems(menu);
    menu.Items.Add(Item(L"#"));
    MenuPainter p(menu);
    ASSERT_EQ(9u, p.rects.size());
    EXPECT_EQ(19, p.rects[0].bottom - p.rects[0].top);
    EXPECT_EQ(8, p.rects[1].bottom - p.rects[1].top);
    EXPECT_EQ(19, p.rects[8].bottom - p.rects[8].top); // "#" is measured ...
    EXPECT_EQ(6 * 19 + 2 * 8, menu.BarHeight());       // ... but does not count

    TBarPopupMenu large;
    large.IconSize = 32;
    large.Items.Add(Item(L"a"));
    TCanvas canvas(p.bitmap.Canvas().Handle());
    int w = 100, h = 0;
    large.BarMeasureItem(large.Items.Items(0), canvas, w, h);
    EXPECT_EQ(33, h);
    EXPECT_EQ(100 + 31 + 3, w);
    w = 100;
    menu.BarMeasureItem(menu.Items.Items(1), canvas, w, h);
    EXPECT_EQ(8, h);
    EXPECT_EQ(128, w);
}

TEST(BarPopupMenu, TealOverBlackIsInterpolatedRowByRow) {
    TBarPopupMenu menu;
    menu.BarWidth = 28;
    menu.GradientStart = clTeal;
    menu.GradientEnd = clBlack;
    menu.VerticalText = L"";
    AddLauncherLikeItems(menu);
    MenuPainter p(menu);
    p.DrawAll();
    const int H = menu.BarHeight();
    ASSERT_EQ(p.bitmap.Height(), H);
    EXPECT_TRUE(menu.BarComplete());
    EXPECT_EQ(RGB(0, 128, 128), p.Pixel(0, 0));
    EXPECT_EQ(RGB(0, 128, 128), p.Pixel(25, 0));
    for (int y = 0; y < H; ++y) {
        const int g = 128 + (0 - 128) * y / H;
        for (int x : {0, 12, 25})
            ASSERT_EQ(RGB(0, g, g), p.Pixel(x, y)) << "row " << y << " column " << x;
    }
    // The last row the formula paints (y = FBarHeight) is the end colour.
    EXPECT_EQ(0, 128 + (0 - 128) * H / H);
    EXPECT_LE(GetGValue(p.Pixel(0, H - 1)), 1);
}

TEST(BarPopupMenu, EqualColoursGiveOneFlatColour) {
    TBarPopupMenu menu;
    menu.GradientStart = 0x336699;
    menu.GradientEnd = 0x336699;
    menu.VerticalText = L"";
    AddLauncherLikeItems(menu);
    MenuPainter p(menu);
    p.DrawAll();
    for (int y = 0; y < menu.BarHeight(); ++y)
        for (int x = 0; x < menu.BarWidth - 2; ++x)
            ASSERT_EQ(static_cast<COLORREF>(0x336699), p.Pixel(x, y));
}

TEST(BarPopupMenu, TextStartsAtColumnOneForAWidthOf28AndAnXOf22) {
    TBarPopupMenu menu;
    menu.BarWidth = 28;
    menu.GradientStart = clBlack;
    menu.GradientEnd = clBlack;
    menu.VerticalFont.Name = L"Arial";
    menu.VerticalFont.Height = 22; // cell height 22
    menu.VerticalText = L"XXXXXX";
    AddLauncherLikeItems(menu);
    {
        TBitmap probe;
        probe.SetSize(1, 1);
        probe.Canvas().Font = menu.VerticalFont;
        HFONT rotated = TBarPopupMenu::CreateRotatedFont(menu.VerticalFont, 90);
        probe.Canvas().Font.SetHandle(rotated);
        ASSERT_EQ(22, probe.Canvas().TextHeight(L"X"));
        probe.Canvas().Font.SetHandle(nullptr);
        probe.Canvas().SelectObjects();
        ::DeleteObject(rotated);
    }
    MenuPainter p(menu);
    p.DrawAll();
    EXPECT_EQ(1, menu.TextOrigin(22).x); // x = round-half-even(2.5) = 2, drawn at x - 1
    int white = 0;
    for (int y = 0; y < menu.BarHeight(); ++y) {
        EXPECT_EQ(RGB(0, 0, 0), p.Pixel(0, y)) << y;
        for (int x = 1; x < 26; ++x)
            white += p.Pixel(x, y) == RGB(255, 255, 255);
    }
    EXPECT_GT(white, 50); // the text reached the banner
}

TEST(BarPopupMenu, TextStartsSixPixelsAboveTheBottomOrAboveABottomPicture) {
    TBarPopupMenu menu;
    AddLauncherLikeItems(menu);
    {
        MenuPainter p(menu);
        p.DrawAll();
        EXPECT_EQ(menu.BarHeight() - 6, menu.TextOrigin(22).y);
    }
    menu.Bitmap().SetSize(12, 20);
    {
        MenuPainter p(menu);
        p.DrawAll();
        EXPECT_EQ(menu.BarHeight() - 6 - 20, menu.TextOrigin(22).y);
    }
    menu.BitmapVertAlignment = bvaTop;
    {
        MenuPainter p(menu);
        p.DrawAll();
        EXPECT_EQ(menu.BarHeight() - 6, menu.TextOrigin(22).y);
    }
}

TEST(BarPopupMenu, PictureAlignments) {
    TBarPopupMenu menu;
    menu.GradientStart = clBlack;
    menu.GradientEnd = clBlack;
    menu.VerticalText = L"";
    AddLauncherLikeItems(menu);
    TBitmap& pic = menu.Bitmap();
    pic.SetSize(10, 10);
    pic.Canvas().Brush.Color = clRed;
    pic.Canvas().FillRect(RECT{0, 0, 10, 10});
    menu.SetTransparent(false);
    struct Case {
        TBitmapVertAlignment v;
        TBitmapHorzAlignment h;
        int ox, oy;
    };
    for (Case c : {Case{bvaTop, bhaLeft, 0, 0}, Case{bvaBottom, bhaRight, 0, 0},
                   Case{bvaMiddle, bhaCenter, 1, 2}}) {
        menu.BitmapVertAlignment = c.v;
        menu.BitmapHorzAlignment = c.h;
        menu.BitmapOffsetX = c.ox;
        menu.BitmapOffsetY = c.oy;
        MenuPainter p(menu);
        p.DrawAll();
        const int H = menu.BarHeight(), W = menu.BarWidth - 2;
        const int py = c.v == bvaTop      ? c.oy
                       : c.v == bvaBottom ? H + c.oy - 10
                                          : (H - 10) / 2 + c.oy;
        const int px = c.h == bhaLeft    ? c.ox
                       : c.h == bhaRight ? W + c.ox - 10
                                         : (W - 10) / 2 + c.ox;
        EXPECT_EQ(RGB(255, 0, 0), p.Pixel(px, py));
        EXPECT_EQ(RGB(255, 0, 0), p.Pixel(px + 9, py + 9));
        if (px > 0) {
            EXPECT_EQ(RGB(0, 0, 0), p.Pixel(px - 1, py));
        }
        if (px + 10 < W) {
            EXPECT_EQ(RGB(0, 0, 0), p.Pixel(px + 10, py + 5));
        }
    }
}

TEST(BarPopupMenu, SeparatorLinesAtMAndMPlusOne) {
    TBarPopupMenu menu;
    TMenuItem* sep = menu.Items.Add(Item(L"-"));
    TBitmap bitmap;
    bitmap.SetSize(200, 40);
    for (auto [top, bottom, m] :
         {std::tuple{10, 15, 12}, std::tuple{11, 16, 14}, std::tuple{19, 27, 23}}) {
        TCanvas& canvas = bitmap.Canvas();
        menu.DrawItemBody(sep, canvas, RECT{31, top, 200, bottom}, 0);
        for (int x : {0, 31, 100, 199}) {
            EXPECT_EQ(ColorToRGB(clBtnShadow), ::GetPixel(canvas.Handle(), x, m) & 0xFFFFFF)
                << top << " " << x;
            EXPECT_EQ(ColorToRGB(clBtnHighlight), ::GetPixel(canvas.Handle(), x, m + 1) & 0xFFFFFF);
        }
    }
}

HICON SolidIcon(COLORREF color) {
    TBitmap colour;
    colour.SetSize(16, 16);
    colour.Canvas().Brush.Color = static_cast<TColor>(color);
    colour.Canvas().FillRect(RECT{0, 0, 16, 16});
    TBitmap mask;
    mask.SetSize(16, 16);
    mask.Canvas().Brush.Color = clBlack;
    mask.Canvas().FillRect(RECT{0, 0, 16, 16});
    UniqueBitmap monoMask(::CreateBitmap(16, 16, 1, 1, nullptr));
    {
        UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
        SelectGuard s(dc.get(), monoMask.get());
        ::PatBlt(dc.get(), 0, 0, 16, 16, BLACKNESS);
    }
    ICONINFO info{TRUE, 0, 0, monoMask.get(), colour.Handle()};
    return ::CreateIconIndirect(&info);
}

TEST(BarPopupMenu, Office97FramesTheIconAndHighlightsRightOfIt) {
    TImageList images(16, 16);
    UniqueIcon icon(SolidIcon(RGB(0, 200, 0)));
    ASSERT_EQ(0, images.AddIcon(icon.get()));
    TBarPopupMenu menu;
    menu.BarWidth = 28;
    menu.Images = &images;
    menu.DrawStyle = 1;
    menu.VerticalText = L"";
    menu.Items.Add(Item(L"with icon"))->ImageIndex = 0;
    menu.Items.Add(Item(L"without"));
    MenuPainter p(menu);
    p.DrawAll();
    p.Draw(0, ODS_SELECTED);
    const COLORREF hi = ColorToRGB(clHighlight), menuC = ColorToRGB(clMenu);
    const int a = 28; // A.Left
    // Icon at A.Left + 1, vertically centred.
    EXPECT_EQ(RGB(0, 200, 0), p.Pixel(a + 1, 1 + 1));
    EXPECT_EQ(RGB(0, 200, 0), p.Pixel(a + 16, 1 + 15));
    // Raised inner edge around E = (BarWidth, top)-(BarWidth + 19, bottom).
    EXPECT_EQ(ColorToRGB(clBtnHighlight), p.Pixel(a, 9));
    EXPECT_EQ(ColorToRGB(clBtnShadow), p.Pixel(a + 18, 9));
    EXPECT_EQ(ColorToRGB(clBtnShadow), p.Pixel(a + 9, 18));
    // The highlight starts right of the icon column.
    EXPECT_NE(hi, p.Pixel(a - 2, 9));
    EXPECT_EQ(menuC, p.Pixel(a + 19, 0));
    EXPECT_EQ(hi, p.Pixel(a + 20, 0));
    EXPECT_EQ(hi, p.Pixel(p.bitmap.Width() - 1, 18));
    // Not selected: the frame is erased with the menu colour.
    p.Draw(0, 0);
    EXPECT_EQ(menuC, p.Pixel(a, 9));
    EXPECT_EQ(menuC, p.Pixel(a + 18, 9));
    EXPECT_EQ(menuC, p.Pixel(a + 20, 0));
    // Without an image index the whole row is highlighted, from the 2-pixel strip on.
    p.Draw(1, ODS_SELECTED);
    EXPECT_EQ(hi, p.Pixel(a - 2, 19));
    EXPECT_EQ(hi, p.Pixel(a + 5, 19 + 9));
    EXPECT_NE(ColorToRGB(clBtnHighlight), p.Pixel(a, 19 + 9));
    // "Windows" style with an icon: the whole row too, and no frame.
    menu.DrawStyle = 0;
    p.Draw(0, ODS_SELECTED);
    EXPECT_EQ(hi, p.Pixel(a - 2, 9));
    EXPECT_EQ(hi, p.Pixel(a + 18, 9));
}

TEST(BarPopupMenu, HashItemsPaintNothingAndDoNotCount) {
    TBarPopupMenu menu;
    menu.Items.Add(Item(L"a"));
    menu.Items.Add(Item(L"#"));
    MenuPainter p(menu);
    EXPECT_EQ(19, menu.BarHeight());
    p.Draw(1, ODS_SELECTED);
    for (int y = p.rects[1].top; y < p.rects[1].bottom; ++y)
        for (int x = 0; x < p.bitmap.Width(); ++x)
            ASSERT_EQ(RGB(255, 0, 255), p.Pixel(x, y));
}

TEST(BarPopupMenu, TheBannerIsPaintedOncePerPopupAndRepaintsCopySlices) {
    TBarPopupMenu menu;
    menu.GradientStart = clTeal;
    menu.GradientEnd = clBlack;
    AddLauncherLikeItems(menu);
    MenuPainter p(menu);
    p.DrawAll();
    ASSERT_TRUE(menu.BarComplete());
    // A mark in the finished banner: an item painted again copies its slice of the buffer,
    // so the mark shows; painting the banner again would have covered it.
    const HDC buffer = menu.BarBuffer()->Canvas().Handle();
    const int markRow = p.rects[3].top + 2;
    const COLORREF mark = RGB(255, 255, 0);
    ::SetPixel(buffer, 3, markRow, mark);
    // Selection moves: single items repaint from the buffer.
    p.Fill(RGB(255, 0, 255));
    p.Draw(3, ODS_SELECTED);
    p.Draw(3, 0);
    p.Draw(4, ODS_SELECTED);
    EXPECT_EQ(mark, p.Pixel(3, markRow));
    EXPECT_EQ(mark, ::GetPixel(buffer, 3, markRow) & 0xFFFFFF);
    // Exactly the item's slice was copied.
    EXPECT_EQ(RGB(255, 0, 255), p.Pixel(0, p.rects[3].top - 1));
    EXPECT_NE(RGB(255, 0, 255), p.Pixel(0, p.rects[3].top));
    EXPECT_NE(RGB(255, 0, 255), p.Pixel(0, p.rects[4].bottom - 1));
    EXPECT_EQ(RGB(255, 0, 255), p.Pixel(0, p.rects[4].bottom));
    // A new popup paints a new banner.
    MenuPainter again(menu);
    EXPECT_FALSE(menu.BarComplete());
    again.DrawAll();
    EXPECT_TRUE(menu.BarComplete());
    EXPECT_NE(mark, ::GetPixel(menu.BarBuffer()->Canvas().Handle(), 3, markRow) & 0xFFFFFF);
    EXPECT_EQ(again.Pixel(3, markRow), ::GetPixel(buffer, 3, markRow) & 0xFFFFFF);
}

TEST(BarPopupMenu, NothingMeasuredPaintsAFlatBannerInTheStartColour) {
    TBarPopupMenu menu;
    menu.GradientStart = clTeal;
    menu.GradientEnd = clBlack;
    AddLauncherLikeItems(menu);
    MenuPainter p(menu);
    menu.PreparePopup(); // FBarHeight back to 0, as if nothing had been measured
    p.DrawAll();
    for (int y = 0; y < p.bitmap.Height(); ++y)
        ASSERT_EQ(RGB(0, 128, 128), p.Pixel(0, y));
}

TEST(BarPopupMenu, ABufferThatCannotBeMadeLeavesTheOldOneAndABannerInTheStartColour) {
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.SetSize(10, 20));
    const HBITMAP kept = bitmap.Handle();
    const int objects = test::GdiObjectCount();
    EXPECT_FALSE(bitmap.SetSize(1 << 30, 1 << 30));
    EXPECT_EQ(10, bitmap.Width());
    EXPECT_EQ(20, bitmap.Height());
    EXPECT_EQ(kept, bitmap.Handle());
    EXPECT_EQ(kept, ::GetCurrentObject(bitmap.Canvas().Handle(), OBJ_BITMAP));
    EXPECT_EQ(objects, test::GdiObjectCount());

    // A banner too wide for any bitmap paints flat, as one with nothing measured does.
    TBarPopupMenu menu;
    menu.GradientStart = clTeal;
    menu.GradientEnd = clBlack;
    menu.Items.Add(Item(L"a"));
    MenuPainter p(menu);
    menu.BarWidth = 1 << 30;
    p.Draw(0);
    for (int x : {0, 25})
        EXPECT_EQ(RGB(0, 128, 128), p.Pixel(x, 5));
}

TEST(BarPopupMenu, WithoutTheBannerItemsStartAtTheLeftEdge) {
    TBarPopupMenu menu;
    menu.SetBarVisible(false);
    menu.Items.Add(Item(L"a"));
    MenuPainter p(menu);
    p.Draw(0, ODS_SELECTED);
    EXPECT_EQ(ColorToRGB(clHighlight), p.Pixel(0, 0));
    EXPECT_FALSE(menu.BarComplete()) << "no banner is painted";
}

} // namespace
} // namespace tolvern
