// Drawing objects of the forms library: colours, font, brush, pen, canvas over an HDC, bitmap.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tolvern {

// Colour codes: $00BBGGRR, or $80000000 plus a system colour index, $1FFFFFFF for none.
using TColor = int;
inline constexpr TColor SystemColor(int index) {
    return static_cast<int>(0x80000000u | static_cast<unsigned>(index));
}
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clMenu = SystemColor(COLOR_MENU);
inline constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
inline constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);

// System colours resolved to their current value.
COLORREF ColorToRGB(TColor color);

inline constexpr unsigned fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// A font description; a canvas makes the GDI font for its fields, unless a handle of the
// caller's is installed with SetHandle.
class TFont {
public:
    TFont() = default;
    TFont(const TFont& other) { Assign(other); }
    TFont& operator=(const TFont& other) {
        Assign(other);
        return *this;
    }
    void Assign(const TFont& other);
    // Takes name, height, style, charset and pitch from a GDI font.
    void AssignHandle(HFONT font);
    void AssignLogFont(const LOGFONTW& lf);

    std::wstring Name = L"Tahoma";
    int Height = -11; // negative: character height; positive: cell height
    TColor Color = clBlack;
    unsigned Style = 0; // fsBold, fsItalic, fsUnderline, fsStrikeOut
    BYTE Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = TFontPitch::fpDefault;

    // Size in points at the screen's resolution.
    void SetSize(int points);

    // Installs a handle of the caller's (not owned) that canvases select instead of making
    // one, until the next call; returns the previous one (nullptr for none).
    HFONT SetHandle(HFONT font);
    HFONT BorrowedHandle() const { return borrowed_; }
    LOGFONTW LogFont() const;

private:
    HFONT borrowed_ = nullptr;
};

struct TBrush {
    TColor Color = clWhite;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

// A canvas over a device context: every drawing call selects the current font, brush and pen.
// It does not own the DC; the DC's original objects are put back when the canvas goes away.
class TCanvas {
public:
    explicit TCanvas(HDC dc);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas();

    HDC Handle() const { return dc_; }

    TFont Font;
    TBrush Brush;
    TPen Pen;

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::wstring& text);
    // ExtTextOut with ETO_CLIPPED to clip.
    void TextRect(const RECT& clip, int x, int y, const std::wstring& text);
    // DrawText with the given format into rect.
    int DrawText(const std::wstring& text, RECT& rect, UINT format);
    SIZE TextExtent(const std::wstring& text);
    int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
    int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
    void SetTransparentText(bool transparent);
    // Copies rect of source onto dest of this canvas.
    void CopyRect(const RECT& dest, const TCanvas& source, const RECT& sourceRect);

    // Selects Font, the brush and the pen into the DC (done by every drawing call).
    void SelectObjects();

private:
    HDC dc_;
    HFONT ownFont_ = nullptr;
    LOGFONTW ownLog_{};
    UniqueBrush brush_;
    TColor brushColor_ = clNone;
    UniquePen pen_;
    TColor penColor_ = clNone;
    int penWidth_ = 0;
    HGDIOBJ oldFont_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    bool selected_ = false;
};

// A device-dependent-free 32-bit bitmap with a memory DC and a canvas of its own.
class TBitmap {
public:
    TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap();

    int Width() const { return width_; }
    int Height() const { return height_; }
    // False when the new bitmap cannot be made; the old one then stays as it was.
    bool SetSize(int width, int height);
    bool Empty() const { return width_ == 0 || height_ == 0; }
    // Copies the picture (and the transparency settings).
    void Assign(const TBitmap& other);
    // Takes a copy of a GDI bitmap's picture.
    void AssignHandle(HBITMAP bitmap);

    HBITMAP Handle() const { return bitmap_.get(); }
    TCanvas& Canvas() { return *canvas_; }
    const TCanvas& Canvas() const { return *canvas_; }

    bool Transparent = false;
    // clNone: the bottom-left pixel's colour, as forms libraries do.
    TColor TransparentColor = clNone;
    COLORREF EffectiveTransparentColor() const;

    // Draws the bitmap at (x, y), leaving out the transparent colour when Transparent.
    void Draw(HDC dest, int x, int y) const;

private:
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
    int width_ = 0;
    int height_ = 0;
};

// The system's menu font (NONCLIENTMETRICS), as it is on a monitor of that DPI (by default the
// system's).
LOGFONTW MenuLogFont(int dpi = 0);

} // namespace tolvern
