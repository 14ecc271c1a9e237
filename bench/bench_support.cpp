// What the benchmarks share: the folders they create, the shell's enumeration floor, timing
// and the figures of repeated runs.
#include "bench_support.h"

#include "base/com.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tolvern::bench {

int Runs() {
    const char* text = std::getenv("TOLVERN_BENCH_RUNS");
    const int runs = text ? std::atoi(text) : 0;
    return runs > 0 ? runs : 5;
}

bool Selected(const wchar_t* name) {
    const wchar_t* cases = _wgetenv(L"TOLVERN_BENCH_CASES");
    if (!cases || !*cases)
        return true;
    std::wistringstream list(cases);
    for (std::wstring item; std::getline(list, item, L',');)
        if (item == name)
            return true;
    return false;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Minimum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
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

void AssociateTextFiles() {
    SetClassesValue(L".txt", L"tolvernbench.txt");
    SetClassesValue(L"tolvernbench.txt\\shell\\open\\command", L"notepad.exe \"%1\"");
}

void PlainFolder(const fs::path& dir, int count) {
    fs::create_directories(dir);
    for (int i = 0; i < count; ++i)
        Touch(dir / (L"file" + std::to_wstring(100000 + i) + L".txt"));
}

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

void StartMenuTree(const fs::path& dir) {
    // Programs of the system, so that the shortcuts show the icons of real programs.
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    std::vector<fs::path> programs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(system, error)) {
        if (entry.path().extension() == L".exe")
            programs.push_back(entry.path());
        if (programs.size() == 60)
            break;
    }
    if (programs.empty())
        programs.push_back(fs::path(system) / L"notepad.exe");
    int next = 0;
    for (const fs::path& group : StartMenuGroups(dir)) {
        fs::create_directories(group);
        for (int i = 0; i < 10; ++i) {
            const fs::path& program = programs[next++ % programs.size()];
            Shortcut(group / (program.stem().wstring() + L" " + std::to_wstring(i) + L".lnk"),
                     program);
        }
    }
}

void ProgramsFolder(const fs::path& dir, const fs::path& copies, const fs::path& program,
                    int count) {
    fs::create_directories(dir);
    fs::create_directories(copies);
    for (int i = 0; i < count; ++i) {
        const std::wstring name = L"Program " + std::to_wstring(100 + i);
        const fs::path copy = copies / (name + L".exe");
        std::error_code ignored;
        fs::copy_file(program, copy, fs::copy_options::overwrite_existing, ignored);
        Shortcut(dir / (name + L".lnk"), copy);
    }
}

std::vector<fs::path> StartMenuGroups(const fs::path& dir) {
    std::vector<fs::path> groups;
    for (int i = 0; i < 30; ++i)
        groups.push_back(dir / (L"Group " + std::to_wstring(100 + i)));
    return groups;
}

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

int FloorOfPath(const fs::path& dir) {
    ComPtr<IShellFolder> desktop;
    if (FAILED(::SHGetDesktopFolder(&desktop)))
        return 0;
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(::SHParseDisplayName(dir.c_str(), nullptr, &pidl, 0, nullptr)) || !pidl)
        return 0;
    const int count = Floor(*desktop.Get(), pidl, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    ::CoTaskMemFree(pidl);
    return count;
}

void LetFilesSettle() {
    ::Sleep(3000);
}

fs::path FreshBase() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path base = fs::path(temp) / L"tolvern-bench";
    std::error_code ignored;
    fs::remove_all(base, ignored);
    fs::create_directories(base, ignored);
    return base;
}

} // namespace tolvern::bench
