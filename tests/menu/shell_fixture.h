// Real folders, shortcuts and Internet shortcuts for the shell engine's tests.
#pragma once

#include "menu/launcher_shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
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

void MakeFile(const std::wstring& path);
void MakeDir(const std::wstring& path);
void MakeShortcut(const std::wstring& linkPath, const std::wstring& target,
                  const std::wstring& iconFile = L"", int iconIndex = 0);
void MakeInternetShortcut(const std::wstring& path, const std::wstring& url);

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
    TMenuItem root;
    PIDLIST_ABSOLUTE controlPanel = nullptr;
    PIDLIST_ABSOLUTE recycleBin = nullptr;
};

// The icon drawn at 16x16 over the given background, as pixels.
std::vector<DWORD> IconPixels(HICON icon, COLORREF background = RGB(0, 128, 0), int size = 16);

} // namespace tolvern::test
