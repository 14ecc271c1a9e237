// The file-system path of an identifier list, of any length.
#include "base/shell_path.h"

namespace tolvern {

bool GetPathFromPIDL(PCIDLIST_ABSOLUTE pidl, std::wstring& path) {
    path.clear();
    PWSTR name = nullptr;
    if (!pidl || FAILED(::SHGetNameFromIDList(pidl, SIGDN_FILESYSPATH, &name)) || !name)
        return false;
    path = name;
    ::CoTaskMemFree(name);
    return !path.empty();
}

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

DWORD PathAttributes(const std::wstring& path) {
    return ::GetFileAttributesW(LongPathForm(path).c_str());
}

} // namespace tolvern
