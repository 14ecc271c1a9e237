// Dots per inch of the screens the program shows on. The program is aware of each monitor's
// DPI; what it sizes in pixels is given at 96 DPI (100%) and scaled to the DPI where it shows.
// The per-monitor functions are looked up at run time: on systems without them (older Windows,
// Wine) every monitor has the system's DPI.
#pragma once

#include <windows.h>

namespace tolvern {

inline constexpr int kBaseDpi = 96;

// pixelsAt96 at the given DPI, rounded to the nearest pixel.
int ScaleForDpi(int pixelsAt96, int dpi);
// A size in pixels at one DPI as it is at another (a window that moved to another monitor).
int RescaleForDpi(int pixels, int fromDpi, int toDpi);

int SystemDpi();
int DpiOfMonitor(HMONITOR monitor);
int DpiOfWindow(HWND window);
// The DPI of the monitor nearest the point.
int DpiAtPoint(POINT point);

// GetSystemMetrics as it is at that DPI.
int SystemMetricForDpi(int index, int dpi);
// The small (16 at 96) and large (32 at 96) icon sizes at that DPI.
int SmallIconSize(int dpi);
int LargeIconSize(int dpi);
// The menu, caption and message fonts at that DPI.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);

// Turns off the dialog manager's own rescaling of the dialog, its font and its controls at a
// change of DPI (Windows 10 1703 and later), for a dialog that rescales itself.
void DisableAutomaticDialogScaling(HWND dialog);

} // namespace tolvern
