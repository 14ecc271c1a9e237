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

} // namespace

void TDialogDpi::Attach(HWND dialog) {
    dialog_ = dialog;
    DisableAutomaticDialogScaling(dialog);
    templateDpi_ = dpi_ = DpiOfWindow(dialog);
    font_ = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (font_)
        ::GetObjectW(font_, sizeof templateFont_, &templateFont_);
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
        // A combo box is placed with the height of its open list; its window is its field.
        if (WindowClassName(child) == L"ComboBox") {
            RECT dropped{};
            ::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            rect.bottom = rect.top + dropped.bottom - dropped.top;
        }
        ::SetWindowPos(child, nullptr, scale(rect.left), scale(rect.top),
                       scale(rect.right) - scale(rect.left), scale(rect.bottom) - scale(rect.top),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    dpi_ = newDpi;
    ownFont_ = std::move(newOwnFont); // the controls no longer use the one before
    ::InvalidateRect(dialog_, nullptr, TRUE);
}

} // namespace tolvern
