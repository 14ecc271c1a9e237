// The file-system path of an identifier list, of any length.
#include "base/shell_path.h"

#include "base/text.h"

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

namespace {
std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
           !(path.size() == 3 && path[1] == L':'))
        path.pop_back();
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

// The plain form of a "\\?\" path.
std::wstring WithoutLongPrefix(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path.substr(4);
    return path;
}

// What a path-converting call gives for a path of any length; empty when it fails.
std::wstring ConvertedPath(DWORD(WINAPI* convert)(LPCWSTR, LPWSTR, DWORD),
                           const std::wstring& path) {
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        convert(LongPathForm(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size())
        return {};
    buffer.resize(length);
    return WithoutLongPrefix(buffer);
}
} // namespace

bool SameFileSystemPath(const std::wstring& a, const std::wstring& b) {
    const std::wstring left = WithoutTrailingBackslash(a), right = WithoutTrailingBackslash(b);
    if (EqualsIgnoreCase(left, right))
        return true;
    // Short (8.3) names of the same item: both as the file system spells them in full.
    const std::wstring longLeft = ConvertedPath(::GetLongPathNameW, left);
    const std::wstring longRight = ConvertedPath(::GetLongPathNameW, right);
    return !longLeft.empty() && EqualsIgnoreCase(WithoutTrailingBackslash(longLeft),
                                                 WithoutTrailingBackslash(longRight));
}

std::wstring ShellUsablePath(const std::wstring& path) {
    if (path.size() < MAX_PATH)
        return path;
    const std::wstring shortForm = ConvertedPath(::GetShortPathNameW, path);
    if (!shortForm.empty() && shortForm.size() < MAX_PATH)
        return shortForm;
    return LongPathForm(path);
}

} // namespace tolvern
