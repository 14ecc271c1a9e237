// 32-bit top-down device-independent bitmaps, whose pixels the code reads and writes directly.
#pragma once

#include "base/unique_handle.h"

namespace tolvern {

inline BITMAPINFO TopDownDibInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A DIB section of 32-bit pixels (0xAARRGGBB, top row first); *bits receives their address.
inline UniqueBitmap CreateTopDownDib(HDC dc, int width, int height, void** bits) {
    BITMAPINFO info = TopDownDibInfo(width, height);
    return UniqueBitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

} // namespace tolvern
