// Real folders, shortcuts and Internet shortcuts for the shell engine's tests.
#include "shell_fixture.h"

#include "base/com.h"

#include <shlwapi.h>

#include <algorithm>
#include <fstream>

namespace tolvern::test {

namespace {
std::filesystem::path TempDir() {
    wchar_t buffer[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buffer);
    return buffer;
}
} // namespace

ScratchDir::ScratchDir(std::filesystem::path base) {
    static int serial = 0;
    if (base.empty())
        base = TempDir();
    path_ = base / (L"tolvern-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(++serial));
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {
std::vector<std::filesystem::path> Entries(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        entries.push_back(entry.path());
    return entries;
}
} // namespace

FilledSpecialFolder::FilledSpecialFolder(int csidl, bool emptied) {
    wchar_t buffer[MAX_PATH] = {};
    const HRESULT hr =
        ::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer);
    EXPECT_HRESULT_SUCCEEDED(hr) << csidl;
    path_ = buffer;
    if (emptied) {
        aside_ = std::make_unique<ScratchDir>();
        for (const auto& entry : Entries(path_))
            std::filesystem::rename(entry, aside_->Path() / entry.filename());
    }
    for (const auto& entry : Entries(path_))
        before_.insert(entry);
}

FilledSpecialFolder::~FilledSpecialFolder() {
    std::error_code ignored;
    for (const auto& entry : Entries(path_))
        if (!before_.count(entry))
            std::filesystem::remove_all(entry, ignored);
    if (aside_)
        for (const auto& entry : Entries(aside_->Path()))
            std::filesystem::rename(entry, path_ / entry.filename(), ignored);
}

void SetClassesValue(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &handle, nullptr));
    ::RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
}

void Associate(const std::wstring& ext) {
    SetClassesValue(ext, L"tolverntest" + ext.substr(1));
    SetClassesValue(L"tolverntest" + ext.substr(1) + L"\\shell\\open\\command",
                    L"notepad.exe \"%1\"");
}

void Dissociate(const std::wstring& ext) {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"tolverntest" + ext.substr(1)).c_str());
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, ext.c_str());
}

ShellEnv::ShellEnv() {
    // A fresh prefix has no program for text files; the tests use them as associated files.
    Associate(L".txt");
    shell.PrepareShell();
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &controlPanel);
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &recycleBin);
    shell.ControlPanelPIDL = controlPanel;
    shell.RecycleBinPIDL = recycleBin;
}

ShellEnv::~ShellEnv() {
    root.Clear();
    shell.EmptyPools();
    ::CoTaskMemFree(controlPanel);
    ::CoTaskMemFree(recycleBin);
}

UniquePidl ShellEnv::Pidl(const std::wstring& path) {
    return GetPIDLFromPath(*shell.DesktopFolder.Get(), Malloc(), path);
}

UniquePidl ShellEnv::Special(int csidl) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    ::SHGetSpecialFolderLocation(nullptr, csidl, &pidl);
    return UniquePidl(Malloc(), pidl);
}

TMenuItem* ShellEnv::FolderItem(UniquePidl pidl, const std::wstring& caption) {
    return shell.AddFolder(root, caption, std::move(pidl));
}

std::vector<std::wstring> ShellEnv::Captions(const TMenuItem& item) const {
    std::vector<std::wstring> captions;
    for (int i = 3; i < item.Count(); ++i)
        captions.push_back(item.Items(i)->Caption);
    return captions;
}

std::wstring ShellEnv::TagPath(const TMenuItem& item) const {
    std::wstring path;
    GetPathFromPIDL(shell.ItemIdPool[static_cast<int>(item.Tag)], path);
    return path;
}

std::vector<std::wstring> SortedNames(std::vector<std::wstring> names) {
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(),
                                -1) == CSTR_LESS_THAN;
    });
    return names;
}

std::vector<ShellChild> EnumerateChildren(ShellEnv& env, PCIDLIST_ABSOLUTE folder, SHCONTF flags) {
    ComPtr<IShellFolder> shellFolder;
    if (IsDesktopPIDL(folder))
        shellFolder = env.shell.DesktopFolder;
    else
        EXPECT_HRESULT_SUCCEEDED(
            env.shell.DesktopFolder->BindToObject(folder, nullptr, IID_PPV_ARGS(&shellFolder)));
    std::vector<ShellChild> children;
    ComPtr<IEnumIDList> enumerator;
    if (!shellFolder || FAILED(shellFolder->EnumObjects(nullptr, flags, &enumerator)) ||
        !enumerator) {
        ADD_FAILURE() << "the folder does not enumerate";
        return children;
    }
    PITEMID_CHILD child = nullptr;
    while (enumerator->Next(1, &child, nullptr) == S_OK) {
        ShellChild entry{GetDisplayName(*shellFolder.Get(), child), L"", false};
        STRRET name{};
        wchar_t* text = nullptr;
        if (SUCCEEDED(shellFolder->GetDisplayNameOf(child, SHGDN_FORPARSING, &name)) &&
            SUCCEEDED(::StrRetToStrW(&name, child, &text))) {
            entry.path = text;
            ::CoTaskMemFree(text);
        }
        SFGAOF attributes = SFGAO_FOLDER;
        PCUITEMID_CHILD one = child;
        entry.folder = SUCCEEDED(shellFolder->GetAttributesOf(1, &one, &attributes)) &&
                       (attributes & SFGAO_FOLDER) != 0;
        children.push_back(std::move(entry));
        ::CoTaskMemFree(child);
    }
    return children;
}

MenuEnv::~MenuEnv() {
    // As the settings form goes: pools first, then the lists kept outside them.
    shell.EmptyPools();
    menu.ReleaseSpecialPIDLs();
}

void MenuEnv::Prepare() {
    menu.PreparePIDLs();
    menu.PrepareTopLevelMenu();
}

std::vector<DWORD> IconPixels(HICON icon, COLORREF background, int size) {
    HDC screen = ::GetDC(nullptr);
    UniqueMemoryDC dc(::CreateCompatibleDC(screen));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, size, size));
    ::ReleaseDC(nullptr, screen);
    std::vector<DWORD> pixels;
    {
        SelectGuard select(dc.get(), bitmap.get());
        UniqueBrush brush(::CreateSolidBrush(background));
        RECT all{0, 0, size, size};
        ::FillRect(dc.get(), &all, brush.get());
        ::DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                pixels.push_back(::GetPixel(dc.get(), x, y));
    }
    return pixels;
}

} // namespace tolvern::test
