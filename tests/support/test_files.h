// Real files, folders, shortcuts and Internet shortcuts that tests make in their prefix, and
// shortcuts read back.
#pragma once

#include <string>

namespace tolvern::test {

void MakeFile(const std::wstring& path);
void MakeDir(const std::wstring& path);
// A folder of this name in the prefix's temporary folder, made when missing; its path.
std::wstring TempFolder(const std::wstring& name);
void MakeShortcut(const std::wstring& linkPath, const std::wstring& target,
                  const std::wstring& iconFile = L"", int iconIndex = 0);
void MakeInternetShortcut(const std::wstring& path, const std::wstring& url);

// What a shortcut file holds; fails the test when it cannot be read.
struct LinkInfo {
    std::wstring target, arguments, workingDir;
};
LinkInfo ReadLink(const std::wstring& path);

} // namespace tolvern::test
