// How many GDI and USER objects this process holds, for leak checks around repeated work.
#include "support/gui_objects.h"

#include <windows.h>
#include <winternl.h>

namespace tolvern::test {

namespace {

// One entry of the GDI handle table that the process environment block points to; an entry
// whose type is 0 is free.
struct GdiHandleEntry {
    ULONGLONG object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    ULONGLONG user;
};
static_assert(sizeof(void*) != 8 || sizeof(GdiHandleEntry) == 24);

constexpr int kGdiHandleCount = 0x10000;

int CountGdiHandleTable() {
#if defined(_WIN64)
    PROCESS_BASIC_INFORMATION info{};
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &info,
                                    sizeof info, nullptr) != 0 ||
        !info.PebBaseAddress)
        return 0;
    // GdiSharedHandleTable of the 64-bit process environment block.
    const auto* peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
    if (!table)
        return 0;
    int used = 0;
    for (int i = 0; i < kGdiHandleCount; ++i)
        used += table[i].type != 0;
    return used;
#else
    return 0;
#endif
}

} // namespace

int GdiObjectCount() {
    const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    return counted ? static_cast<int>(counted) : CountGdiHandleTable();
}

int UserObjectCount() {
    return static_cast<int>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
}

} // namespace tolvern::test
