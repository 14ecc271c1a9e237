// The system's font dialog answered from a second thread: the size it shows, then OK.
#pragma once

#include <functional>
#include <string>

namespace tolvern::test {

// Runs `open`, which shows the system's font dialog modally on this thread; meanwhile a second
// thread waits for the dialog, saves its screenshot as `artifact` (unless empty), reads the size
// it shows and presses OK. Returns that size (empty when no dialog came).
std::wstring FontDialogSizeShown(const std::function<void()>& open,
                                 const std::wstring& artifact = L"");

} // namespace tolvern::test
