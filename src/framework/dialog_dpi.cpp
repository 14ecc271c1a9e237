// A dialog made from a template at the DPI of its monitor, made again for another DPI when it
// moves to a monitor of that DPI.
#include "framework/dialog_dpi.h"

#include "framework/window.h"

namespace tolvern {

namespace {

RECT RectInParent(HWND parent, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The height of a combo box with its list open.
int DroppedHeight(HWND combo) {
    RECT dropped{};
    ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    return dropped.bottom - dropped.top;
}

// The dialog base units of the font, as the dialog manager measures them: the average width of
// the Latin letters and the character cell's height.
SIZE DialogBaseUnits(const LOGFONTW& logFont) {
    UniqueFont font(::CreateFontIndirectW(&logFont));
    HDC dc = ::GetDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, font.get());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    ::GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

} // namespace

void TDialogDpi::Attach(HWND dialog) {
    dialog_ = dialog;
    DisableAutomaticDialogScaling(dialog);
    templateDpi_ = dpi_ = DpiOfWindow(dialog);
    font_ = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (font_)
        ::GetObjectW(font_, sizeof templateFont_, &templateFont_);
}

SIZE TDialogDpi::ScaleLikeDialogUnits(SIZE pixelsAt96) const {
    if (dpi_ == kBaseDpi || !font_)
        return SIZE{ScaleForDpi(pixelsAt96.cx, dpi_), ScaleForDpi(pixelsAt96.cy, dpi_)};
    LOGFONTW at96 = templateFont_;
    at96.lfHeight = RescaleForDpi(templateFont_.lfHeight, templateDpi_, kBaseDpi);
    at96.lfWidth = RescaleForDpi(templateFont_.lfWidth, templateDpi_, kBaseDpi);
    LOGFONTW now{};
    ::GetObjectW(font_, sizeof now, &now);
    const SIZE from = DialogBaseUnits(at96), to = DialogBaseUnits(now);
    if (from.cx <= 0 || from.cy <= 0)
        return SIZE{ScaleForDpi(pixelsAt96.cx, dpi_), ScaleForDpi(pixelsAt96.cy, dpi_)};
    return SIZE{::MulDiv(pixelsAt96.cx, to.cx, from.cx), ::MulDiv(pixelsAt96.cy, to.cy, from.cy)};
}

void TDialogDpi::Change(WPARAM wParam, LPARAM lParam) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(dialog_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    Rescale(HIWORD(wParam));
}

void TDialogDpi::Rescale(int newDpi) {
    if (!dialog_ || newDpi <= 0 || newDpi == dpi_)
        return;
    const HFONT oldFont = font_;
    UniqueFont newOwnFont;
    if (newDpi == templateDpi_) {
        font_ = reinterpret_cast<HFONT>(::SendMessageW(dialog_, WM_GETFONT, 0, 0));
    } else if (oldFont) {
        // From the template's font each time, so that changes back and forth do not drift.
        LOGFONTW font = templateFont_;
        font.lfHeight = RescaleForDpi(templateFont_.lfHeight, templateDpi_, newDpi);
        font.lfWidth = RescaleForDpi(templateFont_.lfWidth, templateDpi_, newDpi);
        newOwnFont.reset(::CreateFontIndirectW(&font));
        font_ = newOwnFont.get();
    }
    const int oldDpi = dpi_;
    auto scale = [oldDpi, newDpi](LONG pixels) {
        return static_cast<LONG>(RescaleForDpi(pixels, oldDpi, newDpi));
    };
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClassName(child) == L"#32770")
            continue;
        if (oldFont && reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) == oldFont)
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        RECT rect = RectInParent(dialog_, child);
        const bool combo = WindowClassName(child) == L"ComboBox";
        // A combo box is placed with the height of its open list; its window is its field.
        if (combo)
            rect.bottom = rect.top + DroppedHeight(child);
        const int height = scale(rect.bottom) - scale(rect.top);
        ::SetWindowPos(child, nullptr, scale(rect.left), scale(rect.top),
                       scale(rect.right) - scale(rect.left), height, SWP_NOZORDER | SWP_NOACTIVATE);
        // Wine takes the height given to a combo box that exists as its list's alone, below the
        // field; the list then gets the height it lacks.
        if (combo && DroppedHeight(child) != height)
            ::SetWindowPos(child, nullptr, 0, 0, scale(rect.right) - scale(rect.left),
                           2 * height - DroppedHeight(child),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    dpi_ = newDpi;
    ownFont_ = std::move(newOwnFont); // the controls no longer use the one before
    ::InvalidateRect(dialog_, nullptr, TRUE);
}

} // namespace tolvern
