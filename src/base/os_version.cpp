// The operating system's platform and major version.
#include "base/os_version.h"

#include <windows.h>

namespace tolvern {

namespace {
OSVERSIONINFOW QueryVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    ::GetVersionExW(&info);
    return info;
}
} // namespace

bool IsWindowsNT() {
    return QueryVersion().dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int GetWindowsMajorVersion() {
    return static_cast<int>(QueryVersion().dwMajorVersion);
}

} // namespace tolvern
