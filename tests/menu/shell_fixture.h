// Real folders, shortcuts and Internet shortcuts for the shell engine's tests.
#pragma once

#include "support/test_files.h"

#include "menu/launcher_menu.h"
#include "menu/launcher_shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tolvern::test {

// A folder of its own for one test, removed with its contents afterwards.
class ScratchDir {
public:
    // base: where to create it (default: the temporary directory).
    explicit ScratchDir(std::filesystem::path base = {});
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return (path_ / name).wstring(); }

private:
    std::filesystem::path path_;
};

// A special folder of the prefix that a test fills (created when the prefix lacks it); what
// the test added is removed afterwards, so the next test finds the folder as it was. Emptied,
// the folder's own entries are moved aside for the test and put back afterwards.
class FilledSpecialFolder {
public:
    explicit FilledSpecialFolder(int csidl, bool emptied = false);
    ~FilledSpecialFolder();
    FilledSpecialFolder(const FilledSpecialFolder&) = delete;
    FilledSpecialFolder& operator=(const FilledSpecialFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return (path_ / name).wstring(); }

private:
    std::filesystem::path path_;
    std::set<std::filesystem::path> before_;
    std::unique_ptr<ScratchDir> aside_; // the folder's own entries while it is emptied
};

// The default value of a key of HKEY_CLASSES_ROOT, the key created when missing.
void SetClassesValue(const std::wstring& key, const std::wstring& value);
// Gives the extension a program (notepad) in HKEY_CLASSES_ROOT, or takes it away.
void Associate(const std::wstring& ext);
void Dissociate(const std::wstring& ext);

// A launcher shell with its own options, ready for use.
struct ShellEnv {
    ShellEnv();
    ~ShellEnv();
    LauncherSettings settings;
    TLauncherShell shell{settings};
    IMalloc& Malloc() { return *shell.ShellMalloc.Get(); }
    UniquePidl Pidl(const std::wstring& path);
    UniquePidl Special(int csidl);
    // A folder item as the menu would hold it, registered in the pool, under a root item.
    TMenuItem* FolderItem(UniquePidl pidl, const std::wstring& caption = L"folder");
    std::vector<std::wstring> Captions(const TMenuItem& item) const; // entries from 3 on
    // The file-system path of the pool entry at the item's Tag (empty when it has none).
    std::wstring TagPath(const TMenuItem& item) const;
    TMenuItem root;
    PIDLIST_ABSOLUTE controlPanel = nullptr;
    PIDLIST_ABSOLUTE recycleBin = nullptr;
};

// The names in the user locale's collation, ignoring case, as sorted menus order them.
std::vector<std::wstring> SortedNames(std::vector<std::wstring> names);

// One child of a folder as the shell enumerates it.
struct ShellChild {
    std::wstring name; // display name, as menus show it
    std::wstring path; // parsing name (the path of a file-system item)
    bool folder;       // SFGAO_FOLDER
};
// The children of a folder (the desktop for its empty list) in the shell's own order.
std::vector<ShellChild> EnumerateChildren(ShellEnv& env, PCIDLIST_ABSOLUTE folder, SHCONTF flags);

// The launcher menu on a ShellEnv's shell and options, as the settings form holds it. Set
// NTPlatform and SpecialFolderLocation, then Prepare.
struct MenuEnv : ShellEnv {
    ~MenuEnv();
    TLauncherMenu menu{nullptr, shell, settings};
    void Prepare(); // PreparePIDLs, then PrepareTopLevelMenu
};

// The icon drawn at 16x16 over the given background, as pixels.
std::vector<DWORD> IconPixels(HICON icon, COLORREF background = RGB(0, 128, 0), int size = 16);

} // namespace tolvern::test
