// A borderless topmost window that shows one line of text, like a tooltip.
#include "framework/hint_window.h"

#include "base/dpi.h"
#include "base/monitors.h"
#include "base/unique_handle.h"

#include <algorithm>

namespace tolvern {

THintWindow::THintWindow(HWND owner) {
    CreateHandle(L"THintWindow", L"", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                 owner);
}

HFONT THintWindow::Font() const {
    const auto system = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const int systemDpi = SystemDpi();
    if (Dpi == 0 || Dpi == systemDpi)
        return system;
    // The system's font is made for the system's DPI.
    if (!font_ || fontDpi_ != Dpi) {
        LOGFONTW logFont{};
        ::GetObjectW(system, sizeof logFont, &logFont);
        logFont.lfHeight = ::MulDiv(logFont.lfHeight, Dpi, systemDpi);
        font_.reset(::CreateFontIndirectW(&logFont));
        fontDpi_ = Dpi;
    }
    return font_ ? font_.get() : system;
}

int THintWindow::Scaled(int pixelsAt96) const {
    return ScaleForDpi(pixelsAt96, Dpi == 0 ? SystemDpi() : Dpi);
}

HDC THintWindow::MeasuringDC() const {
    // A memory DC of our own: measuring through the window's DC costs a round trip to the
    // display each time, and a long read measures its progress text often.
    if (!measuring_)
        measuring_.reset(::CreateCompatibleDC(nullptr));
    return measuring_.get();
}

RECT THintWindow::CalcHintRect(const std::wstring& text) const {
    RECT r{0, 0, 0, 0};
    {
        SelectGuard font(MeasuringDC(), Font());
        ::DrawTextW(MeasuringDC(), text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    r.right += Scaled(6 + 2);
    r.bottom += Scaled(2 + 2);
    return r;
}

SIZE THintWindow::TextExtent(const std::wstring& text) const {
    SIZE size{0, 0};
    SelectGuard font(MeasuringDC(), Font());
    ::GetTextExtentPoint32W(MeasuringDC(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void THintWindow::ActivateHint(const RECT& rect, const std::wstring& text) {
    text_ = text;
    // A long read shows progress hundreds of times a second: placing or painting the window
    // each time would cost more than the read itself (even asking the screen's size costs a
    // round trip under Wine). It is placed when the rectangle changes and painted at most five
    // times a second, always with the latest text.
    const DWORD now = ::GetTickCount();
    const bool moved = !shown_ || !::EqualRect(&rect, &requested_);
    if (!moved && now - lastPainted_ < kRepaintInterval)
        return;
    if (moved) {
        const int width = rect.right - rect.left, height = rect.bottom - rect.top + Scaled(4);
        // Kept on the monitor the rectangle is on.
        const RECT screen = MonitorRectOf(rect);
        const int left = std::max<int>(screen.left, std::min<int>(rect.left, screen.right - width));
        const int top = std::max<int>(screen.top, std::min<int>(rect.top, screen.bottom - height));
        ::SetWindowPos(Handle(), HWND_TOPMOST, left, top, width, height,
                       SWP_NOACTIVATE | SWP_SHOWWINDOW);
        requested_ = rect;
        shown_ = true;
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
    ::UpdateWindow(Handle());
    lastPainted_ = now;
}

void THintWindow::ReleaseHandle() {
    shown_ = false;
    ::ShowWindow(Handle(), SW_HIDE);
}

LRESULT THintWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        RECT r;
        ::GetClientRect(Handle(), &r);
        UniqueBrush brush(::CreateSolidBrush(Color));
        ::FillRect(dc, &r, brush.get());
        SelectGuard font(dc, Font());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
        r.left += Scaled(2);
        ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r,
                    DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        ::EndPaint(Handle(), &ps);
        return 0;
    }
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace tolvern
