// Screenshots inside Wine: the screen read back with GetDC(nullptr) + BitBlt, saved as PNG
// (WIC) into the folder TOLVERN_ARTIFACTS names, so that a person can look at them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tolvern::testing_support {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top row first
    // As a COLORREF (0x00BBGGRR), like GetPixel.
    COLORREF At(int x, int y) const;
};

// Captures the rectangle of the screen (the whole screen when rect is null).
Screenshot CaptureScreen(const RECT* rect = nullptr);
// Saves it as <TOLVERN_ARTIFACTS>\<name>.png; returns the path, empty on failure.
std::wstring SavePng(const Screenshot& shot, const std::wstring& name);

} // namespace tolvern::testing_support
