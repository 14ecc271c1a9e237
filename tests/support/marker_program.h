// The marker program that end-to-end tests have the launcher open: it notes each command line it
// was started with, and is registered here as the opener of web pages.
#pragma once

#include <string>
#include <vector>

namespace tolvern::test {

// The process's temporary folder, ending with a backslash.
std::wstring TempDir();

// TestMarker.exe in the build folder.
std::wstring MarkerProgram();

// The command lines the marker program was started with, one a line.
std::vector<std::wstring> MarkerLines();
// Polls until there are at least `count` lines (true) or 10 s have passed.
bool WaitForMarkerLines(size_t count);

// Empties the marker's notes and makes it the program that opens .html and .htm files (in the
// system's classes: Wine's shell does not look at the user's; a test's prefix is thrown away
// afterwards).
void RegisterMarkerForPages();

} // namespace tolvern::test
