// What the benchmarks share: the folders they create, the shell's enumeration floor, timing
// and the figures of repeated runs.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tolvern::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Every case runs this often (TOLVERN_BENCH_RUNS, at least 5 by default), its floor and its
// measured work taking turns.
int Runs();
// Whether the case is to run: TOLVERN_BENCH_CASES lists the cases to run (comma separated);
// unset, every case runs.
bool Selected(const wchar_t* name);

double MillisecondsSince(Clock::time_point start);
double Median(std::vector<double> values);
double Minimum(const std::vector<double>& values);

void Touch(const fs::path& path);
void Shortcut(const fs::path& link, const fs::path& target);
void SetClassesValue(const std::wstring& key, const std::wstring& value);
// Gives .txt files a program, as a fresh prefix has none.
void AssociateTextFiles();

void PlainFolder(const fs::path& dir, int count);
// Sub-folders, shortcuts to files and to folders, Internet shortcuts, and files with and
// without an associated program.
void MixedFolder(const fs::path& dir);
// Like a Start menu: 30 sub-folders of 10 shortcuts to programs each.
void StartMenuTree(const fs::path& dir);
// `count` shortcuts, each to its own copy of the program (kept in `copies`), so that no two
// items share an icon.
void ProgramsFolder(const fs::path& dir, const fs::path& copies, const fs::path& program,
                    int count);
// The sub-folders of StartMenuTree, in the order the menu shows them.
std::vector<fs::path> StartMenuGroups(const fs::path& dir);

// What any shell menu must pay for a folder: the enumeration and every child's name.
// Returns the number of children.
int Floor(IShellFolder& desktop, PCIDLIST_ABSOLUTE pidl, SHCONTF flags);
int FloorOfPath(const fs::path& dir);
// Waits for the file system to settle after the folders were made: for a while after many files
// are created, the shell enumerates them several times slower (ten times, for about a second
// under Wine), which would make the floor a figure of that moment.
void LetFilesSettle();

// The folder the benchmarks create their folders in, emptied.
fs::path FreshBase();

} // namespace tolvern::bench
