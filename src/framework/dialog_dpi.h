// A dialog made from a template at the DPI of its monitor, made again for another DPI when it
// moves to a monitor of that DPI.
#pragma once

#include "base/dpi.h"
#include "base/unique_handle.h"

#include <windows.h>

namespace tolvern {

// The template sized the dialog for the DPI of its monitor. At a change of DPI the dialog's font
// is made again for the new DPI and set on the controls that had it, and every control's place
// and size is scaled by new / old. The system's own rescaling of dialogs (Windows 10 1703 and
// later) is turned off, so that the change is made once and the same way on every system.
class TDialogDpi {
public:
    TDialogDpi() = default;
    TDialogDpi(const TDialogDpi&) = delete;
    TDialogDpi& operator=(const TDialogDpi&) = delete;

    // Takes the dialog's font and DPI as its template made them.
    void Attach(HWND dialog);
    int Dpi() const { return dpi_; }
    // The font of the dialog's controls at Dpi().
    HFONT Font() const { return font_; }

    // A size in pixels meant for the template's font at 96 DPI, grown as the template's dialog
    // units grow from there to Dpi(): the font's glyphs do not grow exactly by the DPI.
    SIZE ScaleLikeDialogUnits(SIZE pixelsAt96) const;

    // WM_DPICHANGED: the dialog takes the rectangle the system suggests (lParam), and is
    // rescaled for the new DPI (wParam).
    void Change(WPARAM wParam, LPARAM lParam);
    // The font for newDpi on the controls, and their places and sizes scaled. A control that is
    // a dialog of its own (a page) rescales itself, and its owner lays it out.
    void Rescale(int newDpi);

private:
    HWND dialog_ = nullptr;
    LOGFONTW templateFont_{};
    int templateDpi_ = kBaseDpi;
    int dpi_ = kBaseDpi;
    HFONT font_ = nullptr; // the template's font (the dialog's own) or ownFont_
    UniqueFont ownFont_;
};

} // namespace tolvern
