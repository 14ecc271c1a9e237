// Memory in another process, for messages whose parameters point to a structure or a buffer:
// the system carries no such pointer across processes for common controls.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tolvern::test {

class RemoteBuffer {
public:
    // process: opened with PROCESS_VM_OPERATION (and VM_READ, VM_WRITE to use the contents).
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process),
          address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_)
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* get() const { return address_; }
    BYTE* at(size_t offset) const { return static_cast<BYTE*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        return ::WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return ::ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }

private:
    HANDLE process_;
    void* address_;
};

} // namespace tolvern::test
