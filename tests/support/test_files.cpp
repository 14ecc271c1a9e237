// Real files, folders, shortcuts and Internet shortcuts that tests make in their prefix, and
// shortcuts read back.
#include "support/test_files.h"

#include "base/com.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>
#include <fstream>

namespace tolvern::test {

void MakeFile(const std::wstring& path) {
    std::ofstream(std::filesystem::path(path)) << "x";
    ASSERT_TRUE(std::filesystem::exists(path)) << testing::PrintToString(path);
}

void MakeDir(const std::wstring& path) {
    std::filesystem::create_directories(path);
    ASSERT_TRUE(std::filesystem::is_directory(path));
}

std::wstring TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void MakeShortcut(const std::wstring& linkPath, const std::wstring& target,
                  const std::wstring& iconFile, int iconIndex) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
    ASSERT_HRESULT_SUCCEEDED(link->SetPath(target.c_str()));
    if (!iconFile.empty()) {
        ASSERT_HRESULT_SUCCEEDED(link->SetIconLocation(iconFile.c_str(), iconIndex));
    }
    ASSERT_HRESULT_SUCCEEDED(link.As(&file));
    ASSERT_HRESULT_SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

void MakeInternetShortcut(const std::wstring& path, const std::wstring& url) {
    std::ofstream out{std::filesystem::path(path)};
    out << "[InternetShortcut]\r\nURL=" << std::string(url.begin(), url.end()) << "\r\n";
}

LinkInfo ReadLink(const std::wstring& path) {
    ComPtr<IShellLinkW> link;
    EXPECT_HRESULT_SUCCEEDED(
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
    ComPtr<IPersistFile> file;
    link.As(&file);
    EXPECT_HRESULT_SUCCEEDED(file->Load(path.c_str(), STGM_READ));
    wchar_t buffer[MAX_PATH] = {};
    LinkInfo info;
    link->GetPath(buffer, MAX_PATH, nullptr, 0);
    info.target = buffer;
    link->GetArguments(buffer, MAX_PATH);
    info.arguments = buffer;
    link->GetWorkingDirectory(buffer, MAX_PATH);
    info.workingDir = buffer;
    return info;
}

} // namespace tolvern::test
