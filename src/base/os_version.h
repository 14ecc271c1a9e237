// The operating system's platform and major version.
#pragma once

namespace tolvern {

bool IsWindowsNT();
int GetWindowsMajorVersion();

} // namespace tolvern
