// The marker program that end-to-end tests have the launcher open.
#include "support/marker_program.h"

#include "support/launcher_process.h"
#include "support/tray_probe.h"

#include <windows.h>

#include <fstream>

namespace tolvern::test {

namespace {
void SetClassCommand(const std::wstring& classKey, const std::wstring& command) {
    const std::wstring key = classKey + L"\\shell\\open\\command";
    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, command.c_str(),
                      static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}
} // namespace

std::wstring TempDir() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

std::wstring MarkerProgram() {
    return BuiltProgram(L"TestMarker.exe");
}

std::vector<std::wstring> MarkerLines() {
    std::vector<std::wstring> lines;
    std::wifstream file((TempDir() + L"tolvern-marker.txt").c_str());
    for (std::wstring line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

bool WaitForMarkerLines(size_t count) {
    return PumpUntil([&] { return MarkerLines().size() >= count; }, 10000);
}

void RegisterMarkerForPages() {
    ::DeleteFileW((TempDir() + L"tolvern-marker.txt").c_str());
    const std::wstring command = L"\"" + MarkerProgram() + L"\" \"%1\"";
    SetClassCommand(L"TolvernTestPage", command);
    const wchar_t progId[] = L"TolvernTestPage";
    for (const wchar_t* ext : {L".html", L".htm"})
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, ext, nullptr, REG_SZ, progId, sizeof progId);
}

} // namespace tolvern::test
