// Number and text helpers shared by the settings codec and the command line.
#include "base/text.h"

#include <windows.h>

#include <climits>

namespace tolvern {

std::optional<int> ParseDecimalInt(std::wstring_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return std::nullopt;
    return static_cast<int>(value);
}

std::wstring ToUpperInvariant(std::wstring_view text) {
    std::wstring result(text);
    if (!result.empty())
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, result.data(),
                        static_cast<int>(result.size()), result.data(),
                        static_cast<int>(result.size()), nullptr, nullptr, 0);
    return result;
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ProgramFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ExtractFileDir(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/:");
    if (slash == std::wstring::npos)
        return L"";
    if (path[slash] == L':')
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::wstring ProgramDirectory() {
    return ExtractFileDir(ProgramFilePath());
}

} // namespace tolvern
