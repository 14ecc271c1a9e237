// Screenshots inside Wine: the screen (or a part of it) as 32-bit pixels, saved as PNG into the
// build's artifacts folder so that a person can look at what a test saw.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvern::test {

struct Image {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels; // row by row from the top, as RGB() values
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Copies a rectangle of the screen (the whole screen when rect is null).
Image CaptureScreen(const RECT* rect = nullptr);
// The pixels of a memory DC's selected bitmap.
Image CaptureDC(HDC dc, int width, int height);
// Writes the image as "<artifacts>\<name>.png"; returns the path (empty on failure).
std::wstring SaveArtifact(const Image& image, const std::wstring& name);

} // namespace tolvern::test
