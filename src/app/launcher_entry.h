// The program's start: single instance, the "/WAIT:" argument, the forms, the message loop.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvern {

class TForm1;
class TForm2;

inline constexpr wchar_t kMutexName[] = L"KORRIN_Mutex";
inline constexpr DWORD kMaxWaitMilliseconds = 30000;

struct WaitArgument {
    enum class Kind { NoWait, Wait, Invalid } kind = Kind::NoWait;
    DWORD milliseconds = 0;
};

// Reads the first argument: "/WAIT:n" in any letter case waits n seconds (at most 30; a
// negative n means no wait); a rest that is no decimal integer is Invalid.
WaitArgument ParseWaitArgument(const std::vector<std::wstring>& arguments);

// The arguments after the program name.
std::vector<std::wstring> CommandLineArguments();

// Opens the mutex of a running copy, or creates ours (kept in mutex); false when another copy
// runs. Creating also reports whether the mutex already existed, which closes the gap between
// two copies started at the same time.
bool ClaimSingleInstance(const wchar_t* name, UniqueHandleObject& mutex);

// Exit codes of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitOleFailed = 1;
inline constexpr int kExitBadArgument = 2;
inline constexpr int kExitStartFailed = 3;

// Runs the launcher; returns the process exit code. afterCreate, when given, runs once the
// forms exist (the test build uses it to plant its hooks).
int RunLauncher(const std::vector<std::wstring>& arguments,
                const std::function<void(TForm1&, TForm2&)>& afterCreate = {});

} // namespace tolvern
