// A borderless topmost window that shows one line of text, like a tooltip.
#pragma once

#include "base/unique_handle.h"
#include "framework/window.h"

#include <string>

namespace tolvern {

class THintWindow : public Window {
public:
    explicit THintWindow(HWND owner);

    // Background colour as a COLORREF (the settings form gives it the tooltip colour).
    COLORREF Color = ::GetSysColor(COLOR_INFOBK);
    // The DPI of the monitor it shows on (0: the system's); its font and margins follow it.
    int Dpi = 0;

    // The rectangle the text needs, at (0, 0), including the border and margins.
    RECT CalcHintRect(const std::wstring& text) const;
    // Width and height of the text alone in the hint's font.
    SIZE TextExtent(const std::wstring& text) const;
    // Shows the text in the given screen rectangle, made 4 pixels taller and moved back onto
    // the screen where it would stick out, above every other window without taking focus.
    void ActivateHint(const RECT& rect, const std::wstring& text);
    void ReleaseHandle(); // hides it
    const std::wstring& Text() const { return text_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HFONT Font() const;
    int Scaled(int pixelsAt96) const;
    HDC MeasuringDC() const;
    mutable UniqueMemoryDC measuring_;
    mutable UniqueFont font_; // the GUI font made for fontDpi_, when not the system's
    mutable int fontDpi_ = 0;
    static constexpr DWORD kRepaintInterval = 200; // milliseconds
    std::wstring text_;
    bool shown_ = false; // by ActivateHint, for requested_
    RECT requested_{};
    DWORD lastPainted_ = 0;
};

} // namespace tolvern
