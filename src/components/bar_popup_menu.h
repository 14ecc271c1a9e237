// TBarPopupMenu: a popup menu with a vertical gradient banner, upward text and a picture down
// the left edge of its top level, and its own "Windows" / "Office97" top-level items.
#pragma once

#include "framework/canvas.h"
#include "framework/menus.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

namespace tolvern {

enum TBitmapVertAlignment : std::uint8_t { bvaTop, bvaBottom, bvaMiddle };
enum TBitmapHorzAlignment : std::uint8_t { bhaLeft, bhaRight, bhaCenter };

class TBarPopupMenu : public TPopupMenu {
public:
    explicit TBarPopupMenu(TComponent* owner = nullptr);
    ~TBarPopupMenu() override;

    // Starts a new banner, installs the bar's measure and draw events on every top-level item,
    // then shows the menu as the base popup menu does.
    void Popup(int x, int y) override;
    // Steps 1 and 2 of Popup (what happens before the menu is shown); public for tests.
    void PreparePopup();

    // The picture: created on first use (read or write), transparent from then on.
    TBitmap& Bitmap();
    void SetBitmap(const TBitmap& bitmap) { Bitmap().Assign(bitmap); }
    bool HasBitmap() const { return bitmap_ != nullptr; }

    int BarWidth = 31;
    int BitmapOffsetX = 0;
    int BitmapOffsetY = 0;
    TBitmapVertAlignment BitmapVertAlignment = bvaBottom;
    TBitmapHorzAlignment BitmapHorzAlignment = bhaLeft;
    bool BarVisible() const { return barVisible_; }
    void SetBarVisible(bool visible);
    TColor GradientEnd = clBlack;
    TColor GradientStart = clBlue;
    // The picture's own transparency; false and ignored while there is no picture.
    bool Transparent() const { return bitmap_ && bitmap_->Transparent; }
    void SetTransparent(bool transparent);
    TFont VerticalFont; // assignment copies the font
    std::wstring VerticalText;
    int VerticalTextOffsetY = -6;
    int DrawStyle = 0; // 0 "Windows", 1 "Office97"
    int IconSize = 16; // at 96 DPI, as BarWidth and the font's height

    // What the menu draws on the monitor it shows on (Dpi): the banner's width, the icons' size
    // (that of the image list, which is made for the monitor), and a length given at 96 DPI.
    int ScaledBarWidth() const { return Scaled(BarWidth); }
    // The banner's painted part: the bar less a gap before the items.
    int BannerPaintWidth() const { return std::max(ScaledBarWidth() - Scaled(2), 0); }
    int IconPixels() const;
    int Scaled(int pixelsAt96) const;

    // The height of a top-level item on a monitor of that DPI.
    int ItemHeightAt(const TMenuItem& item, int dpi) const;

    // A new font handle from the font, rotated by degrees; the caller deletes it.
    static HFONT CreateRotatedFont(const TFont& font, int degrees);

    // The measure and advanced draw events that Popup installs on the top-level items.
    void BarMeasureItem(TMenuItem* sender, TCanvas& canvas, int& width, int& height);
    void BarAdvancedDrawItem(TMenuItem* sender, TCanvas& canvas, const RECT& rect, UINT state);
    // Paints the item itself into the item area A.
    void DrawItemBody(TMenuItem* sender, TCanvas& canvas, RECT area, UINT state);

    // Where the upward text starts in the banner for a rotated font of that height: centred
    // across the bar, above the bottom (and above a picture at the bottom).
    POINT TextOrigin(int textHeight) const;

    // The banner of the current popup: its measured height, whether it is painted whole, and
    // the buffer it is painted into.
    int BarHeight() const { return barHeight_; }
    bool BarComplete() const { return barComplete_; }
    const TBitmap* BarBuffer() const { return barBuffer_.get(); }

private:
    void PaintBannerPart(const RECT& rect);

    std::unique_ptr<TBitmap> bitmap_;
    std::unique_ptr<TBitmap> barBuffer_; // FBarBuffer
    int barHeight_ = 0;                  // FBarHeight
    bool barComplete_ = false;           // FBarComplete
    bool barVisible_ = true;
};

} // namespace tolvern
