// A small modal dialog that asks for a new name, the old one given and selected up to its
// extension, as a rename in the shell offers it.
#pragma once

#include <windows.h>

#include <string>

namespace tolvern {

// Shows the dialog owned by the window with the name; true (and the name changed in place) for
// OK with a name that differs, false for Cancel or an unchanged or empty name.
bool AskName(HWND owner, std::wstring& name);

} // namespace tolvern
