// A program for the end-to-end tests to have opened: it appends its command line as one line to
// %TEMP%\tolvern-marker.txt and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"tolvern-marker.txt";
    if (FILE* file = _wfopen(path.c_str(), L"a, ccs=UTF-8")) {
        std::fwprintf(file, L"%ls\n", ::GetCommandLineW());
        std::fclose(file);
    }
    return 0;
}
