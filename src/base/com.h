// COM helpers: the smart pointer used everywhere and a scoped OLE initialisation.
#pragma once

#include <objbase.h>
#include <ole2.h>
#include <wrl/client.h>

namespace tolvern {

template <typename T> using ComPtr = Microsoft::WRL::ComPtr<T>;

// OLE for the current thread, for as long as the object lives.
class OleScope {
public:
    OleScope() : hr_(::OleInitialize(nullptr)) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (SUCCEEDED(hr_))
            ::OleUninitialize();
    }
    bool ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

} // namespace tolvern
