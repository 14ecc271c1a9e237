// Whether a control's caption shows whole in its own font (nothing Japanese clipped).
#include "support/caption_fit.h"

#include "framework/window.h"

#include <string>

namespace tolvern::test {

bool CaptionFits(HWND control, int margin) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    std::wstring text = WindowText(control);
    std::erase(text, L'&');
    RECT client{};
    ::GetClientRect(control, &client);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    const bool box = WindowClassName(control) == L"Button" &&
                     ((style & 0x0F) == BS_AUTOCHECKBOX || (style & 0x0F) == BS_AUTORADIOBUTTON);
    // The check mark and its gap take this much in front of the text.
    const int lead = box ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : margin;
    RECT need{0, 0, client.right - lead, 0};
    ::DrawTextW(dc, text.c_str(), -1, &need,
                DT_CALCRECT | ((style & BS_MULTILINE) && box ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return need.right + lead <= client.right && need.bottom <= client.bottom;
}

} // namespace tolvern::test
