// The shortcut in the user's Startup folder that starts the launcher at logon.
#include "settings/startup_shortcut.h"

#include "base/com.h"
#include "base/shell_path.h"
#include "base/text.h"
#include "settings/launcher_settings.h"
#include "settings/settings_store.h"

#include <shlobj.h>

namespace tolvern {

std::wstring StartupFolderPath() {
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, &pidl)) || !pidl)
        return L"";
    std::wstring folder;
    const bool ok = GetPathFromPIDL(pidl, folder);
    ::CoTaskMemFree(pidl);
    return ok ? folder : L"";
}

std::wstring StartupShortcutPath(const std::wstring& startupFolder) {
    if (startupFolder.empty())
        return L"";
    return startupFolder + L"\\" + kApplicationTitle + L".lnk";
}

bool StartupShortcutExists(const std::wstring& startupFolder) {
    const std::wstring file = StartupShortcutPath(startupFolder);
    return !file.empty() && ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {
// Whether the shortcut file starts the program (its target, whatever its other fields say).
bool ShortcutStarts(const std::wstring& file, const std::wstring& programPath) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&persist)) || FAILED(persist->Load(file.c_str(), STGM_READ)))
        return false;
    std::wstring target(32768, L'\0');
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_UNCPRIORITY) !=
        S_OK)
        return false;
    target.resize(wcslen(target.c_str()));
    return SameFileSystemPath(target, programPath);
}
} // namespace

HRESULT MakeStartUpShortcut(const std::wstring& programPath, bool enable, RegistryIni& settings,
                            const std::wstring& startupFolder) {
    ComPtr<IShellLinkW> link;
    HRESULT hr =
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr))
        return hr;
    link->SetPath(programPath.c_str());
    link->SetArguments(L"/wait:10");
    link->SetWorkingDirectory(ExtractFileDir(programPath).c_str());

    const std::wstring file = StartupShortcutPath(startupFolder);
    const bool exists = StartupShortcutExists(startupFolder);
    if (enable) {
        // A shortcut of another copy (moved or reinstalled), or a file that is no shortcut at
        // all, would start nothing of ours at logon: it is written again.
        if (exists && ShortcutStarts(file, programPath))
            return S_OK;
        if (file.empty())
            return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
        ComPtr<IPersistFile> persist;
        hr = link.As(&persist);
        if (SUCCEEDED(hr))
            hr = persist->Save(file.c_str(), FALSE);
        if (FAILED(hr))
            return hr;
    } else if (exists) {
        ::DeleteFileW(file.c_str());
    }
    WriteStartupSetting(settings, enable);
    return S_OK;
}

} // namespace tolvern
