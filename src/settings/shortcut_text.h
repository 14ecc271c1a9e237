// The "HotKey" text form of a shortcut ("Ctrl+Alt+L") in both directions.
#pragma once

#include "settings/launcher_settings.h"

#include <string>
#include <string_view>

namespace tolvern {

// Modifier prefixes "Shift+", "Ctrl+", "Alt+" in this order, then the key's name.
std::wstring ShortCutToText(ShortCut shortCut);

// Prefixes in any letter case, order and repetition ("^" for "Ctrl+"); the rest must name a
// key from code 0x08 upward, the lowest matching code winning. Anything else gives 0.
ShortCut TextToShortCut(std::wstring_view text);

// The name of one key code: fixed names for the common keys, the system's name otherwise.
std::wstring KeyName(BYTE virtualKey);

} // namespace tolvern
