// Drawing objects of the forms library: colours, font, brush, pen, canvas over an HDC, bitmap.
#include "framework/canvas.h"
#include "base/dib.h"
#include "base/dpi.h"

#include <cstddef>
#include <cstring>
#include <utility>
#include <cwchar>

namespace tolvern {

COLORREF ColorToRGB(TColor color) {
    const auto code = static_cast<unsigned>(color);
    if (code & 0x80000000u)
        return ::GetSysColor(static_cast<int>(code & 0xFF));
    return code & 0xFFFFFF;
}

namespace {
bool SameLogFont(const LOGFONTW& a, const LOGFONTW& b) {
    return std::memcmp(&a, &b, offsetof(LOGFONTW, lfFaceName)) == 0 &&
           std::wcscmp(a.lfFaceName, b.lfFaceName) == 0;
}
} // namespace

void TFont::Assign(const TFont& other) {
    if (this == &other)
        return;
    Name = other.Name;
    Height = other.Height;
    Color = other.Color;
    Style = other.Style;
    Charset = other.Charset;
    Pitch = other.Pitch;
    borrowed_ = nullptr;
}

void TFont::AssignHandle(HFONT font) {
    LOGFONTW lf{};
    if (::GetObjectW(font, sizeof lf, &lf))
        AssignLogFont(lf);
}

void TFont::AssignLogFont(const LOGFONTW& lf) {
    Name = lf.lfFaceName;
    Height = lf.lfHeight;
    Style = (lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
            (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0);
    Charset = lf.lfCharSet;
    const int pitch = lf.lfPitchAndFamily & 3;
    Pitch = pitch == VARIABLE_PITCH ? TFontPitch::fpVariable
            : pitch == FIXED_PITCH  ? TFontPitch::fpFixed
                                    : TFontPitch::fpDefault;
}

void TFont::SetSize(int points) {
    HDC screen = ::GetDC(nullptr);
    Height = -::MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = Height;
    lf.lfWeight = (Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (Style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = Charset;
    lf.lfPitchAndFamily = Pitch == TFontPitch::fpVariable ? VARIABLE_PITCH
                          : Pitch == TFontPitch::fpFixed  ? FIXED_PITCH
                                                          : DEFAULT_PITCH;
    ::wcsncpy(lf.lfFaceName, Name.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::SetHandle(HFONT font) {
    return std::exchange(borrowed_, font);
}

// ---------------------------------------------------------------------------------------------

TCanvas::TCanvas(HDC dc) : dc_(dc) {}

TCanvas::~TCanvas() {
    if (selected_) {
        ::SelectObject(dc_, oldFont_);
        ::SelectObject(dc_, oldBrush_);
        ::SelectObject(dc_, oldPen_);
    }
    // font_, brush_ and pen_ are deleted after being deselected.
    if (ownFont_)
        ::DeleteObject(ownFont_);
}

void TCanvas::SelectObjects() {
    // Font: a borrowed handle as it is, otherwise one of the canvas's own for the fields.
    HFONT font = Font.BorrowedHandle();
    HFONT previousOwn = nullptr;
    if (!font) {
        const LOGFONTW lf = Font.LogFont();
        if (!ownFont_ || !SameLogFont(lf, ownLog_)) {
            previousOwn = ownFont_;
            ownFont_ = ::CreateFontIndirectW(&lf);
            ownLog_ = lf;
        }
        font = ownFont_;
    }
    HGDIOBJ f = ::SelectObject(dc_, font);
    if (previousOwn)
        ::DeleteObject(previousOwn);
    ::SetTextColor(dc_, ColorToRGB(Font.Color));

    UniqueBrush oldBrushOwn;
    if (!brush_ || brushColor_ != Brush.Color) {
        oldBrushOwn = std::move(brush_);
        brush_.reset(::CreateSolidBrush(ColorToRGB(Brush.Color)));
        brushColor_ = Brush.Color;
    }
    HGDIOBJ b = ::SelectObject(dc_, brush_.get());
    ::SetBkColor(dc_, ColorToRGB(Brush.Color));

    UniquePen oldPenOwn;
    if (!pen_ || penColor_ != Pen.Color || penWidth_ != Pen.Width) {
        oldPenOwn = std::move(pen_);
        pen_.reset(::CreatePen(PS_SOLID, Pen.Width, ColorToRGB(Pen.Color)));
        penColor_ = Pen.Color;
        penWidth_ = Pen.Width;
    }
    HGDIOBJ p = ::SelectObject(dc_, pen_.get());
    if (!selected_) {
        oldFont_ = f;
        oldBrush_ = b;
        oldPen_ = p;
        selected_ = true;
    }
}

void TCanvas::FillRect(const RECT& rect) {
    SelectObjects();
    ::FillRect(dc_, &rect, brush_.get());
}

void TCanvas::FrameRect(const RECT& rect) {
    SelectObjects();
    ::FrameRect(dc_, &rect, brush_.get());
}

void TCanvas::MoveTo(int x, int y) {
    ::MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    SelectObjects();
    ::LineTo(dc_, x, y);
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
    SelectObjects();
    ::ExtTextOutW(dc_, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::TextRect(const RECT& clip, int x, int y, const std::wstring& text) {
    SelectObjects();
    ::ExtTextOutW(dc_, x, y, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()),
                  nullptr);
}

int TCanvas::DrawText(const std::wstring& text, RECT& rect, UINT format) {
    SelectObjects();
    return ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
    SelectObjects();
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::SetTransparentText(bool transparent) {
    ::SetBkMode(dc_, transparent ? TRANSPARENT : OPAQUE);
}

void TCanvas::CopyRect(const RECT& dest, const TCanvas& source, const RECT& sourceRect) {
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    const int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    if (dw == sw && dh == sh)
        ::BitBlt(dc_, dest.left, dest.top, dw, dh, source.dc_, sourceRect.left, sourceRect.top,
                 SRCCOPY);
    else
        ::StretchBlt(dc_, dest.left, dest.top, dw, dh, source.dc_, sourceRect.left, sourceRect.top,
                     sw, sh, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------

TBitmap::TBitmap() : dc_(::CreateCompatibleDC(nullptr)) {
    canvas_ = std::make_unique<TCanvas>(dc_.get());
}

TBitmap::~TBitmap() {
    canvas_.reset();
    if (oldBitmap_)
        ::SelectObject(dc_.get(), oldBitmap_);
}

bool TBitmap::SetSize(int width, int height) {
    width = width > 0 ? width : 0;
    height = height > 0 ? height : 0;
    if (width == width_ && height == height_ && bitmap_)
        return true;
    void* bits = nullptr;
    UniqueBitmap fresh =
        CreateTopDownDib(dc_.get(), width > 0 ? width : 1, height > 0 ? height : 1, &bits);
    // Too large to make: the old picture stays selected, kept and reported.
    if (!fresh)
        return false;
    HGDIOBJ previous = ::SelectObject(dc_.get(), fresh.get());
    if (!oldBitmap_)
        oldBitmap_ = previous;
    bitmap_ = std::move(fresh); // the old one is deselected by now
    width_ = width;
    height_ = height;
    return true;
}

void TBitmap::Assign(const TBitmap& other) {
    if (this == &other)
        return;
    if (!SetSize(other.width_, other.height_))
        return;
    if (!other.Empty())
        ::BitBlt(dc_.get(), 0, 0, width_, height_, other.dc_.get(), 0, 0, SRCCOPY);
    Transparent = other.Transparent;
    TransparentColor = other.TransparentColor;
}

void TBitmap::AssignHandle(HBITMAP bitmap) {
    BITMAP bm{};
    if (!::GetObjectW(bitmap, sizeof bm, &bm))
        return;
    if (!SetSize(bm.bmWidth, bm.bmHeight))
        return;
    UniqueMemoryDC source(::CreateCompatibleDC(nullptr));
    SelectGuard select(source.get(), bitmap);
    ::BitBlt(dc_.get(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
}

COLORREF TBitmap::EffectiveTransparentColor() const {
    if (TransparentColor != clNone)
        return ColorToRGB(TransparentColor);
    if (Empty())
        return 0;
    return ::GetPixel(dc_.get(), 0, height_ - 1) & 0xFFFFFF;
}

void TBitmap::Draw(HDC dest, int x, int y) const {
    if (Empty())
        return;
    if (Transparent)
        ::TransparentBlt(dest, x, y, width_, height_, dc_.get(), 0, 0, width_, height_,
                         EffectiveTransparentColor());
    else
        ::BitBlt(dest, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

LOGFONTW MenuLogFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const bool found =
        dpi == 0 || dpi == SystemDpi()
            ? ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE
            : NonClientMetricsForDpi(metrics, dpi);
    if (!found) {
        LOGFONTW lf{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
        return lf;
    }
    return metrics.lfMenuFont;
}

} // namespace tolvern
