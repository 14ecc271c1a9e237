// SelDirEx: the shell's folder browser, placed at a point or centred, starting at a folder; and
// the DirectoryExists check.
#pragma once

#include <windows.h>

#include <string>

namespace tolvern {

// Lets the user pick a file-system folder. caption is the prompt above the tree; initialDir is
// selected at the start unless it is shorter than two characters; (x, y) is the top-left
// corner on the screen, centred when either is 0. dir is empty unless the result is true.
bool SelDirEx(const std::wstring& caption, const std::wstring& initialDir, std::wstring& dir, int x,
              int y);

// Where the browser of the given size goes on the screen of the monitor it shows on.
POINT BrowserPosition(int x, int y, SIZE dialog, const RECT& screen);

// True exactly when the path's attributes can be read and mark a directory.
bool DirectoryExists(const std::wstring& path);

} // namespace tolvern
