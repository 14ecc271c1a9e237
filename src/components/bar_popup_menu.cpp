// TBarPopupMenu: a popup menu with a vertical gradient banner, upward text and a picture down
// the left edge of its top level, and its own "Windows" / "Office97" top-level items.
#include "components/bar_popup_menu.h"

#include "base/dpi.h"
#include "framework/application.h"
#include "framework/image_list.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace tolvern {

TBarPopupMenu::TBarPopupMenu(TComponent* owner) : TPopupMenu(owner) {
    OwnerDraw = true;
    VerticalFont.Name = L"Tahoma";
    // 14 points at 96 DPI: heights are kept at 96 DPI and drawn for the monitor's.
    VerticalFont.Height = -::MulDiv(14, kBaseDpi, 72);
    VerticalFont.Color = clWhite;
    VerticalFont.Style = fsBold | fsItalic;
    if (Application* app = Application::Current(); app && app->Handle())
        VerticalText = app->Title();
    barBuffer_ = std::make_unique<TBitmap>();
}

TBarPopupMenu::~TBarPopupMenu() = default;

TBitmap& TBarPopupMenu::Bitmap() {
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->Transparent = true;
    }
    return *bitmap_;
}

void TBarPopupMenu::SetBarVisible(bool visible) {
    if (visible == barVisible_)
        return;
    barVisible_ = visible;
    if (visible && !barBuffer_)
        barBuffer_ = std::make_unique<TBitmap>();
}

void TBarPopupMenu::SetTransparent(bool transparent) {
    if (bitmap_)
        bitmap_->Transparent = transparent;
}

void TBarPopupMenu::PreparePopup() {
    barHeight_ = 0;
    barComplete_ = false;
    for (int i = 0; i < Items.Count(); ++i) {
        TMenuItem* item = Items.Items(i);
        item->OnMeasureItem = [this](TMenuItem* sender, TCanvas& canvas, int& width, int& height) {
            BarMeasureItem(sender, canvas, width, height);
        };
        item->OnAdvancedDrawItem = [this](TMenuItem* sender, TCanvas& canvas, const RECT& rect,
                                          UINT state) {
            BarAdvancedDrawItem(sender, canvas, rect, state);
        };
    }
}

void TBarPopupMenu::Popup(int x, int y) {
    PreparePopup();
    TPopupMenu::Popup(x, y);
}

HFONT TBarPopupMenu::CreateRotatedFont(const TFont& font, int degrees) {
    LOGFONTW lf{};
    lf.lfHeight = font.Height;
    lf.lfWidth = 0;
    lf.lfEscapement = degrees * 10;
    lf.lfOrientation = 0;
    lf.lfWeight = (font.Style & fsBold) ? 700 : 400;
    lf.lfItalic = (font.Style & fsItalic) ? 1 : 0;
    lf.lfUnderline = (font.Style & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = 0;
    lf.lfClipPrecision = 0;
    lf.lfQuality = 0;
    lf.lfPitchAndFamily = font.Pitch == TFontPitch::fpVariable ? VARIABLE_PITCH
                          : font.Pitch == TFontPitch::fpFixed  ? FIXED_PITCH
                                                               : DEFAULT_PITCH;
    std::wcsncpy(lf.lfFaceName, font.Name.c_str(), 31);
    lf.lfFaceName[31] = L'\0';
    return ::CreateFontIndirectW(&lf);
}

int TBarPopupMenu::Scaled(int pixelsAt96) const {
    return ScaleForDpi(pixelsAt96, Dpi);
}

int TBarPopupMenu::IconPixels() const {
    return Images ? Images->Width() : Scaled(IconSize);
}

int TBarPopupMenu::ItemHeightAt(const TMenuItem& item, int dpi) const {
    return ScaleForDpi(item.IsLine() ? 8 : IconSize == 16 ? 19 : IconSize + 1, dpi);
}

void TBarPopupMenu::BarMeasureItem(TMenuItem* sender, TCanvas&, int& width, int& height) {
    width += ScaledBarWidth() + (IconSize == 16 ? 0 : Scaled(3));
    height = ItemHeightAt(*sender, Dpi);
    if (sender->Visible && sender->Caption != L"#")
        barHeight_ += height;
}

void TBarPopupMenu::BarAdvancedDrawItem(TMenuItem* sender, TCanvas& canvas, const RECT& rect,
                                        UINT state) {
    if (sender->Caption == L"#")
        return;
    RECT area = rect;
    if (barVisible_)
        area.left = rect.left + ScaledBarWidth();
    DrawItemBody(sender, canvas, area, state);
    if (!barVisible_)
        return;
    const int bufferWidth = BannerPaintWidth();
    if (!barBuffer_)
        barBuffer_ = std::make_unique<TBitmap>();
    if (barHeight_ <= 0 ||
        ((barBuffer_->Height() != barHeight_ || barBuffer_->Width() != bufferWidth) &&
         !barBuffer_->SetSize(bufferWidth, barHeight_))) {
        // Nothing was measured before painting, so the gradient has no height (or no buffer
        // can be made for it): paint the item's part of the banner flat in the start colour,
        // straight onto the menu.
        canvas.Brush.Color = GradientStart;
        canvas.FillRect(RECT{0, rect.top, bufferWidth, rect.bottom});
        return;
    }
    if (barComplete_) {
        const RECT slice{0, rect.top, bufferWidth, rect.bottom};
        canvas.CopyRect(slice, barBuffer_->Canvas(), slice);
        return;
    }
    PaintBannerPart(rect);
    if (barHeight_ == rect.bottom) {
        barComplete_ = true;
        if (bitmap_) {
            int py = BitmapOffsetY;
            if (BitmapVertAlignment == bvaBottom)
                py = barHeight_ + BitmapOffsetY - bitmap_->Height();
            else if (BitmapVertAlignment == bvaMiddle)
                py = (barHeight_ - bitmap_->Height()) / 2 + BitmapOffsetY;
            int px = BitmapOffsetX;
            if (BitmapHorzAlignment == bhaRight)
                px = BannerPaintWidth() + BitmapOffsetX - bitmap_->Width();
            else if (BitmapHorzAlignment == bhaCenter)
                px = (BannerPaintWidth() - bitmap_->Width()) / 2 + BitmapOffsetX;
            bitmap_->Draw(barBuffer_->Canvas().Handle(), px, py);
        }
        const RECT whole{0, 0, bufferWidth, barHeight_};
        canvas.CopyRect(whole, barBuffer_->Canvas(), whole);
    }
}

void TBarPopupMenu::PaintBannerPart(const RECT& rect) {
    TCanvas& buffer = barBuffer_->Canvas();
    const int bufferWidth = BannerPaintWidth();
    if (GradientStart == GradientEnd) {
        buffer.Brush.Color = GradientStart;
        buffer.FillRect(RECT{0, rect.top, bufferWidth, rect.bottom});
    } else {
        const COLORREF start = ColorToRGB(GradientStart);
        const COLORREF end = ColorToRGB(GradientEnd);
        const int sr = GetRValue(start), sg = GetGValue(start), sb = GetBValue(start);
        const int er = GetRValue(end), eg = GetGValue(end), eb = GetBValue(end);
        for (int y = rect.top; y <= rect.bottom; ++y) {
            // Signed integer arithmetic; C++ division truncates toward zero.
            const int r = sr + (er - sr) * y / barHeight_;
            const int g = sg + (eg - sg) * y / barHeight_;
            const int b = sb + (eb - sb) * y / barHeight_;
            buffer.Brush.Color = static_cast<TColor>(RGB(r, g, b));
            buffer.FillRect(RECT{0, y, bufferWidth, y + 1});
        }
    }

    // The whole text on every item, clipped to the item's rows: the items assemble it.
    // The font's height is given at 96 DPI, drawn for the monitor's.
    buffer.Font = VerticalFont;
    buffer.Font.Height = Scaled(VerticalFont.Height);
    HFONT rotated = CreateRotatedFont(buffer.Font, 90);
    HFONT previous = buffer.Font.SetHandle(rotated);
    const POINT origin = TextOrigin(buffer.TextHeight(L"X"));
    buffer.SetTransparentText(true);
    buffer.TextRect(RECT{rect.left, rect.top, rect.right, rect.bottom + 1}, origin.x, origin.y,
                    VerticalText);
    buffer.Font.SetHandle(previous);
    buffer.SelectObjects(); // deselects the rotated font before it goes
    ::DeleteObject(rotated);
}

POINT TBarPopupMenu::TextOrigin(int textHeight) const {
    const int x = static_cast<int>(
        std::nearbyint((ScaledBarWidth() - textHeight) / 2.0 - 0.5)); // ties to even
    int y = barHeight_ + Scaled(VerticalTextOffsetY);
    if (bitmap_ && BitmapVertAlignment == bvaBottom)
        y -= bitmap_->Height();
    return POINT{x - 1, y};
}

void TBarPopupMenu::DrawItemBody(TMenuItem* sender, TCanvas& canvas, RECT area, UINT state) {
    const bool selected = (state & ODS_SELECTED) != 0;
    canvas.Brush.Color = clMenu;
    canvas.FillRect(area);
    const TColor stateBrush = selected ? clHighlight : clMenu;
    UniqueIcon icon;
    if (Images && sender->ImageIndex != -1)
        icon.reset(Images->GetIcon(sender->ImageIndex));
    RECT back = area;
    const int iconPixels = IconPixels();
    back.left = (DrawStyle == 1 && sender->ImageIndex != -1) ? area.left + iconPixels + Scaled(4)
                                                             : area.left - Scaled(2);
    canvas.Brush.Color = stateBrush;
    canvas.FillRect(back);

    if (sender->IsLine()) {
        const int m = static_cast<int>(std::nearbyint((area.top + area.bottom) / 2.0));
        canvas.Pen.Color = clBtnShadow;
        canvas.MoveTo(area.left - ScaledBarWidth(), m);
        canvas.LineTo(area.right, m);
        canvas.Pen.Color = clBtnHighlight;
        canvas.MoveTo(area.left - ScaledBarWidth(), m + 1);
        canvas.LineTo(area.right, m + 1);
    } else {
        RECT text = area;
        const int dx = IconSize == 16 ? Scaled(22) : iconPixels + Scaled(9);
        const int dy = (area.bottom - area.top + canvas.Font.Height) / 2;
        ::OffsetRect(&text, dx, dy);
        canvas.SetTransparentText(true);
        if (sender->Default)
            canvas.Font.Style |= fsBold;
        if (!sender->Enabled) {
            if (!selected) {
                RECT shadow = text;
                ::OffsetRect(&shadow, 1, 1);
                const TColor keep = canvas.Font.Color;
                canvas.Font.Color = clBtnHighlight;
                canvas.DrawText(sender->Caption, shadow, 0);
                canvas.Font.Color = keep;
            }
            canvas.Font.Color = selected && ColorToRGB(clHighlight) == ColorToRGB(clBtnShadow)
                                    ? clBtnHighlight
                                    : clBtnShadow;
        }
        canvas.DrawText(sender->Caption, text, 0);
    }

    if (icon)
        ::DrawIconEx(canvas.Handle(), area.left + Scaled(1),
                     area.top + (area.bottom - area.top - iconPixels) / 2, icon.get(), iconPixels,
                     iconPixels, 0, nullptr, DI_NORMAL);

    if (DrawStyle == 1 && sender->ImageIndex != -1 && !sender->IsLine()) {
        RECT frame{ScaledBarWidth(), area.top, ScaledBarWidth() + iconPixels + Scaled(3),
                   area.bottom};
        if (selected) {
            ::DrawEdge(canvas.Handle(), &frame, BDR_RAISEDINNER, BF_RECT);
        } else {
            canvas.Brush.Color = clMenu;
            canvas.FrameRect(frame);
        }
    }
}

} // namespace tolvern
