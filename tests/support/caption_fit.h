// Whether a control's caption shows whole in its own font (nothing Japanese clipped).
#pragma once

#include <windows.h>

namespace tolvern::test {

// A check box or radio button is measured beside its box (a multi-line one within its lines),
// a static control within its lines; any other control leaves `margin` pixels beside its text.
bool CaptionFits(HWND control, int margin = 0);

} // namespace tolvern::test
