// Move-only owners for Windows handles, one alias per handle kind.
#pragma once

#include <windows.h>

#include <utility>

namespace tolvern {

// Owns one handle and releases it with Release. put() frees what it held before it hands
// out the address, so it can be passed straight to functions that fill in a handle.
template <typename H, auto Release, H Invalid = H{}> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }
    H release() { return std::exchange(handle_, Invalid); }
    void reset(H handle = Invalid) {
        H old = std::exchange(handle_, handle);
        if (old != Invalid)
            Release(old);
    }
    H* put() {
        reset();
        return &handle_;
    }

private:
    H handle_ = Invalid;
};

namespace detail {
inline void CloseKernelHandle(HANDLE h) {
    ::CloseHandle(h);
}
inline void CloseRegKey(HKEY h) {
    ::RegCloseKey(h);
}
inline void DestroyIconHandle(HICON h) {
    ::DestroyIcon(h);
}
inline void DestroyMenuHandle(HMENU h) {
    ::DestroyMenu(h);
}
inline void DestroyWindowHandle(HWND h) {
    ::DestroyWindow(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
    ::DeleteObject(h);
}
inline void DeleteMemoryDC(HDC h) {
    ::DeleteDC(h);
}
} // namespace detail

using UniqueHandleObject = UniqueHandle<HANDLE, detail::CloseKernelHandle>;
using UniqueKey = UniqueHandle<HKEY, detail::CloseRegKey>;
using UniqueIcon = UniqueHandle<HICON, detail::DestroyIconHandle>;
using UniqueMenu = UniqueHandle<HMENU, detail::DestroyMenuHandle>;
using UniqueWindow = UniqueHandle<HWND, detail::DestroyWindowHandle>;
using UniqueFont = UniqueHandle<HFONT, detail::DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, detail::DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, detail::DeleteGdiObject>;
using UniquePen = UniqueHandle<HPEN, detail::DeleteGdiObject>;
using UniqueRegion = UniqueHandle<HRGN, detail::DeleteGdiObject>;
using UniqueMemoryDC = UniqueHandle<HDC, detail::DeleteMemoryDC>;

// Selects a GDI object into a DC for one scope and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (previous_)
            ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace tolvern
