// Screenshots inside Wine: the screen read back with GetDC(nullptr) + BitBlt, saved as PNG
// (WIC) into the folder TOLVERN_ARTIFACTS names, so that a person can look at them.
#include "support/screenshot.h"

#include "base/com.h"
#include "base/unique_handle.h"

#include <wincodec.h>

namespace tolvern::testing_support {

COLORREF Screenshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    const std::uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

Screenshot CaptureScreen(const RECT* rect) {
    RECT r{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (rect)
        r = *rect;
    Screenshot shot;
    shot.width = r.right - r.left;
    shot.height = r.bottom - r.top;
    if (shot.width <= 0 || shot.height <= 0)
        return shot;
    shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
    HDC screen = ::GetDC(nullptr);
    UniqueMemoryDC dc(::CreateCompatibleDC(screen));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = shot.width;
    bi.bmiHeader.biHeight = -shot.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        SelectGuard select(dc.get(), bitmap.get());
        ::BitBlt(dc.get(), 0, 0, shot.width, shot.height, screen, r.left, r.top, SRCCOPY);
        ::GdiFlush();
        const auto* px = static_cast<const std::uint32_t*>(bits);
        for (size_t i = 0; i < shot.pixels.size(); ++i)
            shot.pixels[i] = px[i] & 0xFFFFFF;
    }
    ::ReleaseDC(nullptr, screen);
    return shot;
}

std::wstring SavePng(const Screenshot& shot, const std::wstring& name) {
    wchar_t dir[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"TOLVERN_ARTIFACTS", dir, MAX_PATH))
        return L"";
    ::CreateDirectoryW(dir, nullptr);
    const std::wstring path = std::wstring(dir) + L"\\" + name + L".png";
    // Callable from any thread: a driver thread has no COM of its own.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    struct ComScope {
        bool own;
        ~ComScope() {
            if (own)
                ::CoUninitialize();
        }
    } comScope{SUCCEEDED(com)};
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory))))
        return L"";
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)))
        return L"";
    frame->SetSize(static_cast<UINT>(shot.width), static_cast<UINT>(shot.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    frame->SetPixelFormat(&format);
    std::vector<std::uint32_t> data = shot.pixels; // BGRX in memory
    const UINT stride = static_cast<UINT>(shot.width) * 4;
    if (FAILED(frame->WritePixels(static_cast<UINT>(shot.height), stride,
                                  stride * static_cast<UINT>(shot.height),
                                  reinterpret_cast<BYTE*>(data.data()))) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return L"";
    return path;
}

} // namespace tolvern::testing_support
