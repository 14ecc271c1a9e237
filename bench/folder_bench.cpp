// Folder reading speed against the shell's own enumeration floor, on folders it creates.
#include "base/com.h"
#include "menu/launcher_shell.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace tolvern {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Touch(const fs::path& path) {
    std::ofstream(path) << "x";
}

void Shortcut(const fs::path& link, const fs::path& target) {
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&shellLink))) &&
        SUCCEEDED(shellLink->SetPath(target.c_str())) && SUCCEEDED(shellLink.As(&file)))
        file->Save(link.c_str(), TRUE);
}

void SetClassesValue(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &handle, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
}

void PlainFolder(const fs::path& dir, int count) {
    fs::create_directories(dir);
    for (int i = 0; i < count; ++i)
        Touch(dir / (L"file" + std::to_wstring(100000 + i) + L".txt"));
}

// Sub-folders, shortcuts to files and to folders, Internet shortcuts, and files with and
// without an associated program.
void MixedFolder(const fs::path& dir) {
    fs::create_directories(dir);
    for (int i = 0; i < 40; ++i) {
        const std::wstring n = std::to_wstring(100 + i);
        fs::create_directories(dir / (L"folder" + n));
        Touch(dir / (L"text" + n + L".txt"));
        Touch(dir / (L"odd" + n + L".xyzq"));
        Shortcut(dir / (L"to-text" + n + L".lnk"), dir / (L"text" + n + L".txt"));
        Shortcut(dir / (L"to-folder" + n + L".lnk"), dir / (L"folder" + n));
        std::ofstream(dir / (L"site" + n + L".url")) << "[InternetShortcut]\r\nURL=http://x/\r\n";
    }
}

// What any shell menu must pay: the enumeration and every child's name.
int Floor(IShellFolder& desktop, PCIDLIST_ABSOLUTE pidl, SHCONTF flags) {
    ComPtr<IShellFolder> folder;
    ComPtr<IEnumIDList> children;
    if (FAILED(desktop.BindToObject(pidl, nullptr, IID_PPV_ARGS(&folder))) ||
        FAILED(folder->EnumObjects(nullptr, flags, &children)) || !children)
        return 0;
    int count = 0;
    PITEMID_CHILD child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) {
        STRRET name{};
        if (SUCCEEDED(folder->GetDisplayNameOf(child, SHGDN_NORMAL, &name)) &&
            name.uType == STRRET_WSTR)
            ::CoTaskMemFree(name.pOleStr);
        ::CoTaskMemFree(child);
        ++count;
    }
    return count;
}

bool RunCase(const wchar_t* name, const fs::path& dir) {
    LauncherSettings settings;
    TLauncherShell shell(settings);
    shell.PrepareShell();
    shell.EscapePressed = [] { return false; };
    UniquePidl pidl =
        GetPIDLFromPath(*shell.DesktopFolder.Get(), *shell.ShellMalloc.Get(), dir.wstring());
    if (!pidl)
        return false;
    // The floor is the faster of two passes, so that warming the caches counts against the
    // read rather than for it.
    int items = 0;
    double floorMs = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const auto start = Clock::now();
        items = Floor(*shell.DesktopFolder.Get(), pidl.get(), shell.FolderEnumFlags);
        const double ms = MillisecondsSince(start);
        floorMs = pass == 0 ? ms : std::min(floorMs, ms);
    }

    TMenuItem root;
    TMenuItem* item = shell.AddFolder(root, name, std::move(pidl));
    auto start = Clock::now();
    shell.GetSubItems2(item);
    const double readMs = MillisecondsSince(start);

    const int pooled = shell.ItemIdPool.Count();
    const int entries = item->Count();
    TMenuItem* first = entries > 3 ? item->Items(3) : nullptr;
    start = Clock::now();
    shell.GetSubItems2(item);
    const double rereadMs = MillisecondsSince(start);
    const bool unchanged = shell.ItemIdPool.Count() == pooled && item->Count() == entries &&
                           (entries <= 3 || item->Items(3) == first);

    std::printf("folder_read %ls items=%d floor_ms=%.1f read_ms=%.1f reread_ms=%.1f "
                "ratio=%.2f\n",
                name, items, floorMs, readMs, rereadMs, floorMs > 0 ? readMs / floorMs : 0.0);
    if (!unchanged)
        std::fprintf(stderr, "folder_read %ls: the second reading created menu items\n", name);
    std::fflush(stdout);
    return unchanged;
}

} // namespace
} // namespace tolvern

int wmain() {
    using namespace tolvern;
    OleScope ole;
    // A fresh prefix has no program for text files; the plain files are associated ones.
    SetClassesValue(L".txt", L"tolvernbench.txt");
    SetClassesValue(L"tolvernbench.txt\\shell\\open\\command", L"notepad.exe \"%1\"");
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path base = fs::path(temp) / L"tolvern-bench";
    std::error_code ignored;
    fs::remove_all(base, ignored);
    PlainFolder(base / L"plain1000", 1000);
    PlainFolder(base / L"plain5000", 5000);
    MixedFolder(base / L"mixed");
    bool ok = RunCase(L"plain_1000", base / L"plain1000");
    ok = RunCase(L"plain_5000", base / L"plain5000") && ok;
    ok = RunCase(L"mixed", base / L"mixed") && ok;
    fs::remove_all(base, ignored);
    return ok ? 0 : 1;
}
