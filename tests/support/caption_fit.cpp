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
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    const std::wstring className = WindowClassName(control);
    const bool box = className == L"Button" &&
                     ((style & 0x0F) == BS_AUTOCHECKBOX || (style & 0x0F) == BS_AUTORADIOBUTTON);
    // A left, centred or right-aligned static control wraps its text at words.
    const bool wrappingStatic = className == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
    if (!(wrappingStatic && (style & SS_NOPREFIX)))
        std::erase(text, L'&');
    RECT client{};
    ::GetClientRect(control, &client);
    // The check mark and its gap take this much in front of the text.
    const int lead = box ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : margin;
    RECT need{0, 0, client.right - lead, 0};
    UINT format = DT_CALCRECT | DT_SINGLELINE;
    if ((style & BS_MULTILINE) && box)
        format = DT_CALCRECT | DT_WORDBREAK;
    else if (wrappingStatic)
        format = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX |
                 ((style & SS_EDITCONTROL) ? DT_EDITCONTROL : 0);
    ::DrawTextW(dc, text.c_str(), -1, &need, format);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return need.right + lead <= client.right && need.bottom <= client.bottom;
}

} // namespace tolvern::test
