// Mouse buttons and shift states as the component events report them.
#pragma once

namespace tolvern {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// A set of flags; the tray icon reports only the buttons and the double-click flag.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16,
                             ssMiddle = 32, ssDouble = 64;

} // namespace tolvern
