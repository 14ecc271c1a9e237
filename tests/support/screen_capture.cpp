// Screenshots inside Wine, saved as PNG with the imaging component.
#include "support/screen_capture.h"
#include "base/dib.h"

#include "base/com.h"
#include "base/unique_handle.h"

#include <wincodec.h>

namespace tolvern::test {

Image CaptureDC(HDC source, int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    void* bits = nullptr;
    UniqueBitmap dib = CreateTopDownDib(source, width, height, &bits);
    UniqueMemoryDC memory(::CreateCompatibleDC(source));
    {
        SelectGuard select(memory.get(), dib.get());
        ::BitBlt(memory.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    const auto* bgra = static_cast<const BYTE*>(bits);
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = RGB(bgra[i * 4 + 2], bgra[i * 4 + 1], bgra[i * 4]);
    return image;
}

Image CaptureScreen(const RECT* rect) {
    RECT r =
        rect ? *rect : RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    HDC screen = ::GetDC(nullptr);
    UniqueMemoryDC memory(::CreateCompatibleDC(screen));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
    {
        SelectGuard select(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top,
                 SRCCOPY);
    }
    ::ReleaseDC(nullptr, screen);
    SelectGuard select(memory.get(), bitmap.get());
    return CaptureDC(memory.get(), r.right - r.left, r.bottom - r.top);
}

std::wstring SaveArtifact(const Image& image, const std::wstring& name) {
    wchar_t folder[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"TOLVERN_ARTIFACTS", folder, MAX_PATH))
        ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"\\" + name + L".png";
    // Callers may be a test's driver thread that never set up COM.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    struct ComRelease {
        HRESULT hr;
        ~ComRelease() {
            if (SUCCEEDED(hr))
                ::CoUninitialize();
        }
    } comRelease{com};
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)))
        return L"";
    frame->SetSize(image.width, image.height);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    frame->SetPixelFormat(&format);
    std::vector<BYTE> rows(static_cast<size_t>(image.width) * 3 * image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        rows[i * 3] = GetBValue(image.pixels[i]);
        rows[i * 3 + 1] = GetGValue(image.pixels[i]);
        rows[i * 3 + 2] = GetRValue(image.pixels[i]);
    }
    if (FAILED(frame->WritePixels(image.height, image.width * 3, static_cast<UINT>(rows.size()),
                                  rows.data())) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return L"";
    return path;
}

} // namespace tolvern::test
