// Reading and writing LauncherSettings in the registry key of the program.
#pragma once

#include "base/registry_ini.h"
#include "settings/launcher_settings.h"

namespace tolvern {

// Reads every value with its default. defaultLastOpenedDir stands in for a missing
// "LastOpenedDir" (the program's directory in the running program); a "PopupPos" that names
// no corner exactly leaves currentPopupPos in place; defaultStartup stands in for a missing
// "Startup".
LauncherSettings ReadLauncherSettings(const RegistryIni& ini,
                                      const std::wstring& defaultLastOpenedDir,
                                      const std::wstring& currentPopupPos = L"RightBottom",
                                      bool defaultStartup = false);

// Writes section "Setting", then the entries of section "MyMenu". The entries are written
// before the ones no longer needed are deleted, so a failing write never loses the stored
// entries; with no entries the section is removed. Throws RegistryError on a failed write.
void WriteLauncherSettings(RegistryIni& ini, const LauncherSettings& settings);

// Writes only the "Startup" value (the start-up option stores itself the moment it changes).
void WriteStartupSetting(RegistryIni& ini, bool startup);

} // namespace tolvern
