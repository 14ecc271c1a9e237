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

} // namespace tolvern
