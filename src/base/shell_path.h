// The file-system path of an identifier list, of any length.
#pragma once

#include <shlobj.h>

#include <string>

namespace tolvern {

// False (and an empty path) for an item with no file-system path. Paths of MAX_PATH
// characters and more come back whole, where SHGetPathFromIDListW would fail on them.
bool GetPathFromPIDL(PCIDLIST_ABSOLUTE pidl, std::wstring& path);

// The path in the "\\?\" form when it is too long for the plain one.
std::wstring LongPathForm(const std::wstring& path);
// The file system's attributes of a path of any length (INVALID_FILE_ATTRIBUTES when missing).
DWORD PathAttributes(const std::wstring& path);
// Both name the same file-system item (letter case, a trailing backslash and short names
// aside).
bool SameFileSystemPath(const std::wstring& a, const std::wstring& b);
// A form of the path that the shell's path-taking calls accept: the path itself while it is
// short enough, else its short (8.3) form where the volume keeps one, else the "\\?\" form.
std::wstring ShellUsablePath(const std::wstring& path);

} // namespace tolvern
