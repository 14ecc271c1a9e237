// The shortcut in the user's Startup folder that starts the launcher at logon.
#pragma once

#include "base/registry_ini.h"

#include <string>

namespace tolvern {

// Full path of "<Startup folder>\Tolvern Launcher.lnk"; empty when the folder is unknown.
std::wstring StartupShortcutPath();

// Creates the shortcut (target programPath, arguments "/wait:10", working directory the
// program's folder) when enable is true and no file of that name exists, or deletes the file
// when enable is false; then stores "Startup". An existing file is left untouched and then
// nothing is stored. Returns the failure of creating the shortcut, if any.
HRESULT MakeStartUpShortcut(const std::wstring& programPath, bool enable, RegistryIni& settings);

} // namespace tolvern
