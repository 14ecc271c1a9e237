// The shortcut in the user's Startup folder that starts the launcher at logon.
#pragma once

#include "base/registry_ini.h"

#include <string>

namespace tolvern {

// The user's Startup folder; empty when the shell does not know it.
std::wstring StartupFolderPath();

// Full path of "<folder>\Tolvern Launcher.lnk"; empty when the folder is.
std::wstring StartupShortcutPath(const std::wstring& startupFolder);

// Whether a file of that name is in startupFolder.
bool StartupShortcutExists(const std::wstring& startupFolder);

// Creates the shortcut (target programPath, arguments "/wait:10", working directory the
// program's folder) in startupFolder when enable is true, unless a shortcut of that name to
// programPath is there already; or deletes the file when enable is false; then stores
// "Startup". A shortcut there to programPath is left untouched and then nothing is stored; one to
// anything else, or a file that is no shortcut, is written over. Returns the failure of creating
// the shortcut, if any.
HRESULT MakeStartUpShortcut(const std::wstring& programPath, bool enable, RegistryIni& settings,
                            const std::wstring& startupFolder);

} // namespace tolvern
