// Dots per inch of the screens the program shows on.
#include "base/dpi.h"

#include "base/system_function.h"

#include <initializer_list>

namespace tolvern {

namespace {

// Windows 10 1607 and later.
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
// Windows 10 1703 and later: DDC_DISABLE_ALL is 1.
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
// Windows 8.1 and later (shcore): MDT_EFFECTIVE_DPI is 0.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

struct DpiFunctions {
    GetDpiForSystemFn forSystem =
        SystemFunction<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem");
    GetDpiForWindowFn forWindow =
        SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    GetSystemMetricsForDpiFn metrics =
        SystemFunction<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
    SystemParametersInfoForDpiFn parameters =
        SystemFunction<SystemParametersInfoForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
    GetDpiForMonitorFn forMonitor =
        SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    SetDialogDpiChangeBehaviorFn dialogBehavior =
        SystemFunction<SetDialogDpiChangeBehaviorFn>(L"user32.dll", "SetDialogDpiChangeBehavior");
};

const DpiFunctions& Functions() {
    static const DpiFunctions functions;
    return functions;
}

} // namespace

int ScaleForDpi(int pixelsAt96, int dpi) {
    return dpi == kBaseDpi ? pixelsAt96 : ::MulDiv(pixelsAt96, dpi, kBaseDpi);
}

int RescaleForDpi(int pixels, int fromDpi, int toDpi) {
    return fromDpi == toDpi ? pixels : ::MulDiv(pixels, toDpi, fromDpi);
}

int SystemDpi() {
    if (Functions().forSystem)
        return static_cast<int>(Functions().forSystem());
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int DpiOfMonitor(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (monitor && Functions().forMonitor &&
        SUCCEEDED(Functions().forMonitor(monitor, 0, &x, &y)) && y > 0)
        return static_cast<int>(y);
    return SystemDpi();
}

int DpiOfWindow(HWND window) {
    if (window && Functions().forWindow)
        if (const UINT dpi = Functions().forWindow(window))
            return static_cast<int>(dpi);
    return window ? DpiOfMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST))
                  : SystemDpi();
}

int DpiAtPoint(POINT point) {
    return DpiOfMonitor(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

int SystemMetricForDpi(int index, int dpi) {
    if (Functions().metrics)
        return Functions().metrics(index, static_cast<UINT>(dpi));
    return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

int SmallIconSize(int dpi) {
    return SystemMetricForDpi(SM_CXSMICON, dpi);
}

int LargeIconSize(int dpi) {
    return SystemMetricForDpi(SM_CXICON, dpi);
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (Functions().parameters)
        return Functions().parameters(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                      static_cast<UINT>(dpi)) != FALSE;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return false;
    // The system's fonts are those of the system DPI.
    const int system = SystemDpi();
    if (dpi != system)
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont,
                               &metrics.lfMenuFont, &metrics.lfStatusFont, &metrics.lfMessageFont})
            font->lfHeight = ::MulDiv(font->lfHeight, dpi, system);
    return true;
}

void DisableAutomaticDialogScaling(HWND dialog) {
    constexpr int kDisableAll = 1;
    if (Functions().dialogBehavior)
        Functions().dialogBehavior(dialog, kDisableAll, kDisableAll);
}

} // namespace tolvern
