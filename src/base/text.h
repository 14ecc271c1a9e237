// Number and text helpers shared by the settings codec and the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tolvern {

// A signed decimal 32-bit integer: optional sign, then digits only. Anything else,
// including an empty text or a value out of range, gives no value.
std::optional<int> ParseDecimalInt(std::wstring_view text);

// Upper case by the invariant rules (ASCII and the rest of Unicode alike).
std::wstring ToUpperInvariant(std::wstring_view text);

// True when both texts are equal without regard to letter case.
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);

// The directory of the running program's file, without a trailing backslash.
std::wstring ProgramDirectory();
std::wstring ProgramFilePath();

// Directory part of a path, without a trailing backslash.
std::wstring ExtractFileDir(const std::wstring& path);

} // namespace tolvern
