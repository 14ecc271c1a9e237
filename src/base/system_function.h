// A function of a system library looked up at run time, for what older systems lack.
#pragma once

#include <windows.h>

namespace tolvern {

// The function, or null where this system's library (loaded when not yet) does not have it.
template <typename Function> Function SystemFunction(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    if (!handle)
        handle = ::LoadLibraryW(module);
    return handle
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name)))
               : nullptr;
}

} // namespace tolvern
