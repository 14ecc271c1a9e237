// TColorLookupComboBox: a drop-down list of named colours with swatches, built from blocks
// (default, standard colours in English or Japanese, extended name=value lines, custom colours
// picked in the system colour dialog).
#pragma once

#include "base/dpi.h"
#include "base/unique_handle.h"
#include "framework/canvas.h"
#include "framework/component.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tolvern {

enum TColorSelectionItem { csSystem, csSystemJ, csCustom, csDefault, csExtended };

// A set of TColorSelectionItem.
class TColorSelection {
public:
    constexpr TColorSelection() = default;
    constexpr TColorSelection(std::initializer_list<TColorSelectionItem> items) {
        for (TColorSelectionItem item : items)
            bits_ |= 1u << item;
    }
    constexpr bool Contains(TColorSelectionItem item) const { return (bits_ & (1u << item)) != 0; }
    constexpr bool operator==(const TColorSelection&) const = default;

private:
    unsigned bits_ = 0;
};

// One named colour of a table.
struct NamedColor {
    const wchar_t* name;
    unsigned value; // colour code, $00BBGGRR or $80000000 plus a system colour number
    const wchar_t* englishName;
};

// The sixteen standard colours in their fixed order; name is Japanese, englishName English.
const std::vector<NamedColor>& StandardColors();
// The 154 extended colours of the settings dialog's colour boxes (25 system colours, then 129
// named colours), as a table and as the "name=$BBGGRR" lines that ExtendedColors takes.
const std::vector<NamedColor>& JapaneseExtendedColors();
std::vector<std::wstring> JapaneseExtendedColorLines();

// "$" and at least six upper-case hexadecimal digits of the colour code.
std::wstring ColorCodeText(TColor color);
// The value part of an extended line: a decimal integer, or hexadecimal after "$" (32 bits);
// anything else is the none colour.
TColor ParseColorValue(std::wstring_view text);

// The box is a native ComboBox window (drop-down list, CBS_OWNERDRAWFIXED | CBS_HASSTRINGS), so
// every entry keeps its text and the system's keyboard handling and accessibility see an ordinary
// combo box. Its colour is the entry's item data. The component either creates the window
// (CreateWnd) or takes over one from a dialog template (Attach); in both cases it subclasses the
// window's parent to draw the entries and to see the user's selection changes, so the parent
// needs no code for it. The entry list lives in the window: before a window exists, setting the
// properties only stores them, and the list is built when the window comes; selecting a colour
// and adding custom colours need the window.
//
// Use on a dialog page: give the template's combo box kRequiredStyles (and WS_VSCROLL), set
// Selection, DefaultColor and ExtendedColors (JapaneseExtendedColorLines()), Attach the combo box
// at WM_INITDIALOG, then set SelectedColor and OnChange. The parent still receives CBN_SELCHANGE
// after the box has handled it; OnChange is the place to react.
class TColorLookupComboBox : public TComponent {
public:
    using TNotifyEvent = std::function<void(TColorLookupComboBox* sender)>;

    // Styles a dialog template must give a combo box that Attach takes over.
    static constexpr DWORD kRequiredStyles = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    static constexpr int kDefaultWidth = 120;
    static constexpr int kItemHeight = 14; // pixels at 96 DPI, as the swatches' sizes

    explicit TColorLookupComboBox(TComponent* owner = nullptr);
    ~TColorLookupComboBox() override;

    // Creates the box's own window (Width wide; dropDownHeight is the height of the open list).
    void CreateWnd(HWND parent, int id, int x, int y, int dropDownHeight = 200);
    // Takes over a combo box window with kRequiredStyles (from a dialog template); the window
    // stays the parent's. Throws std::invalid_argument for a window without those styles.
    void Attach(HWND combo);
    HWND Handle() const { return combo_; }

    int Width = kDefaultWidth; // width of a window made by CreateWnd

    TColor DefaultColor() const { return defaultColor_; }
    void SetDefaultColor(TColor color);
    const std::vector<std::wstring>& ExtendedColors() const { return extendedColors_; }
    void SetExtendedColors(const std::vector<std::wstring>& lines);
    std::uint8_t MaxCustomCount() const { return maxCustomCount_; }
    void SetMaxCustomCount(std::uint8_t count);
    bool ShowName() const { return showName_; }
    void SetShowName(bool showName);
    TColorSelection Selection() const { return selection_; }
    void SetSelection(TColorSelection selection);

    // The selected entry's colour; the none colour while no entry is selected.
    TColor SelectedColor() const;
    // Selects the first entry of that colour; an unknown colour becomes a custom entry when the
    // box offers custom colours, else nothing is selected. The none colour selects nothing.
    void SetSelectedColor(TColor color);
    // Inserts a custom entry just before "その他...", dropping the oldest one past
    // MaxCustomCount; an empty name becomes the colour's code. Returns the entry's index, or -1
    // when the box offers no custom colours (or keeps none: MaxCustomCount 0) or has no window.
    int AddCustomColor(const std::wstring& name, TColor color);
    std::uint8_t CustomCount() const { return customCount_; }

    // Raised after the user changed the selection (and after a custom colour was picked).
    TNotifyEvent OnChange;
    // Raised before the extended block is built, so the owner can fill ExtendedColors.
    TNotifyEvent OnLoadExtendedColors;

    // The DPI the entries are sized for: their window's when it was made or taken over. The owner
    // sets the new one when the window moved to a monitor of another DPI.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);

    // Draws one entry into rect as the combo box asks for it.
    void DrawItem(const DRAWITEMSTRUCT& item);

private:
    void Rebuild();
    void AddEntry(const std::wstring& name, TColor color);
    int Count() const;
    TColor EntryColor(int index) const;
    void UserSelectionChanged();
    void Detach();
    bool ChooseCustomColor(COLORREF& color);

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);

    int Scaled(int pixelsAt96) const;

    HWND combo_ = nullptr;
    HWND parent_ = nullptr;
    int dpi_ = kBaseDpi;
    int controlId_ = 0;
    bool ownWindow_ = false;
    TColor defaultColor_ = clNone;
    std::vector<std::wstring> extendedColors_;
    std::uint8_t maxCustomCount_ = 3;
    bool showName_ = true;
    TColorSelection selection_{csSystemJ};
    std::uint8_t customCount_ = 0;
    bool rebuilding_ = false;
    COLORREF dialogCustomColors_[16]{}; // the colour dialog's own sixteen custom colours
};

} // namespace tolvern
