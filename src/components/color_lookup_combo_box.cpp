// TColorLookupComboBox: the entry blocks, custom colours, the selected colour and the drawing.
#include "components/color_lookup_combo_box.h"

#include "base/text.h"
#include "framework/application.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace tolvern {

namespace {

constexpr wchar_t kOtherColorText[] = L"その他...";
constexpr wchar_t kDefaultColorText[] = L"標準";

// Item data holds the 32-bit colour code without sign extension.
LPARAM ColorData(TColor color) {
    return static_cast<LPARAM>(static_cast<unsigned>(color));
}

// Leaves list redrawing off while the entries are rebuilt, whatever happens in between.
class RedrawOff {
public:
    explicit RedrawOff(HWND window) : window_(window) {
        ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;
    ~RedrawOff() {
        ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }

private:
    HWND window_;
};

} // namespace

const std::vector<NamedColor>& StandardColors() {
    static const std::vector<NamedColor> colors = {
        {L"黒", 0x000000, L"Black"},    {L"茶色", 0x000080, L"Maroon"},
        {L"緑", 0x008000, L"Green"},    {L"オリーブ", 0x008080, L"Olive"},
        {L"紺", 0x800000, L"Navy"},     {L"紫", 0x800080, L"Purple"},
        {L"青緑", 0x808000, L"Teal"},   {L"灰色", 0x808080, L"Gray"},
        {L"銀色", 0xC0C0C0, L"Silver"}, {L"赤", 0x0000FF, L"Red"},
        {L"黄緑", 0x00FF00, L"Lime"},   {L"黄", 0x00FFFF, L"Yellow"},
        {L"青", 0xFF0000, L"Blue"},     {L"赤紫", 0xFF00FF, L"Fuchsia"},
        {L"水色", 0xFFFF00, L"Aqua"},   {L"白", 0xFFFFFF, L"White"},
    };
    return colors;
}

const std::vector<NamedColor>& JapaneseExtendedColors() {
    static const std::vector<NamedColor> colors = {
#include "components/extended_colors.inc"
    };
    return colors;
}

std::vector<std::wstring> JapaneseExtendedColorLines() {
    std::vector<std::wstring> lines;
    for (const NamedColor& color : JapaneseExtendedColors())
        lines.push_back(std::wstring(color.name) + L"=" +
                        ColorCodeText(static_cast<TColor>(color.value)));
    return lines;
}

std::wstring ColorCodeText(TColor color) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"$%.6X", static_cast<unsigned>(color));
    return text;
}

TColor ParseColorValue(std::wstring_view text) {
    if (!text.empty() && text[0] == L'$') {
        const std::wstring_view digits = text.substr(1);
        if (digits.empty() || digits.size() > 8)
            return clNone;
        unsigned value = 0;
        for (wchar_t c : digits) {
            unsigned digit;
            if (c >= L'0' && c <= L'9')
                digit = static_cast<unsigned>(c - L'0');
            else if (c >= L'A' && c <= L'F')
                digit = static_cast<unsigned>(c - L'A' + 10);
            else if (c >= L'a' && c <= L'f')
                digit = static_cast<unsigned>(c - L'a' + 10);
            else
                return clNone;
            value = value * 16 + digit;
        }
        return static_cast<TColor>(value);
    }
    return ParseDecimalInt(text).value_or(clNone);
}

TColorLookupComboBox::TColorLookupComboBox(TComponent* owner) : TComponent(owner) {}

TColorLookupComboBox::~TColorLookupComboBox() {
    HWND own = ownWindow_ ? combo_ : nullptr;
    Detach();
    if (own)
        ::DestroyWindow(own);
}

void TColorLookupComboBox::CreateWnd(HWND parent, int id, int x, int y, int dropDownHeight) {
    if (combo_)
        throw std::logic_error("the colour box already has a window");
    // The parent is subclassed first: the combo box asks for its entries' height while it is
    // being created.
    parent_ = parent;
    controlId_ = id;
    dpi_ = DpiOfWindow(parent);
    ::SetWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this),
                        reinterpret_cast<DWORD_PTR>(this));
    HWND combo = ::CreateWindowExW(
        0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | kRequiredStyles, x,
        y, Width, dropDownHeight, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        ::GetModuleHandleW(nullptr), nullptr);
    if (!combo) {
        Detach();
        throw std::runtime_error("cannot create the colour box");
    }
    if (HFONT font = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)))
        ::SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ownWindow_ = true;
    Attach(combo);
}

void TColorLookupComboBox::Attach(HWND combo) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(combo, GWL_STYLE));
    if ((style & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST || !(style & CBS_OWNERDRAWFIXED) ||
        !(style & CBS_HASSTRINGS))
        throw std::invalid_argument("the colour box needs an owner-drawn drop-down list");
    if (combo_ && combo_ != combo)
        throw std::logic_error("the colour box already has a window");
    combo_ = combo;
    controlId_ = ::GetDlgCtrlID(combo);
    dpi_ = DpiOfWindow(combo);
    HWND parent = ::GetParent(combo);
    if (parent != parent_) {
        if (parent_)
            ::RemoveWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
        parent_ = parent;
        ::SetWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this),
                            reinterpret_cast<DWORD_PTR>(this));
    }
    ::SetWindowSubclass(combo_, ComboProc, reinterpret_cast<UINT_PTR>(this),
                        reinterpret_cast<DWORD_PTR>(this));
    // A template's box measured its entries before it was taken over.
    ::SendMessageW(combo_, CB_SETITEMHEIGHT, 0, Scaled(kItemHeight));
    Rebuild();
}

void TColorLookupComboBox::Detach() {
    if (combo_)
        ::RemoveWindowSubclass(combo_, ComboProc, reinterpret_cast<UINT_PTR>(this));
    if (parent_)
        ::RemoveWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
    combo_ = nullptr;
    parent_ = nullptr;
    ownWindow_ = false;
    customCount_ = 0;
}

void TColorLookupComboBox::SetDefaultColor(TColor color) {
    defaultColor_ = color;
    Rebuild();
}

void TColorLookupComboBox::SetExtendedColors(const std::vector<std::wstring>& lines) {
    extendedColors_ = lines;
    Rebuild();
}

void TColorLookupComboBox::SetMaxCustomCount(std::uint8_t count) {
    maxCustomCount_ = count;
    Rebuild();
}

void TColorLookupComboBox::SetShowName(bool showName) {
    showName_ = showName;
    if (combo_)
        ::InvalidateRect(combo_, nullptr, TRUE);
}

void TColorLookupComboBox::SetSelection(TColorSelection selection) {
    selection_ = selection;
    Rebuild();
}

int TColorLookupComboBox::Count() const {
    return combo_ ? static_cast<int>(::SendMessageW(combo_, CB_GETCOUNT, 0, 0)) : 0;
}

TColor TColorLookupComboBox::EntryColor(int index) const {
    return static_cast<TColor>(
        static_cast<unsigned>(::SendMessageW(combo_, CB_GETITEMDATA, index, 0)));
}

void TColorLookupComboBox::AddEntry(const std::wstring& name, TColor color) {
    const auto index =
        ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (index >= 0)
        ::SendMessageW(combo_, CB_SETITEMDATA, static_cast<WPARAM>(index), ColorData(color));
}

void TColorLookupComboBox::Rebuild() {
    // OnLoadExtendedColors may set ExtendedColors: the rebuild under way takes the new lines.
    if (!combo_ || rebuilding_)
        return;
    rebuilding_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{rebuilding_};
    RedrawOff redrawOff(combo_);
    ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    customCount_ = 0;
    if (selection_.Contains(csDefault))
        AddEntry(kDefaultColorText, defaultColor_);
    if (selection_.Contains(csSystem))
        for (const NamedColor& color : StandardColors())
            AddEntry(color.englishName, static_cast<TColor>(color.value));
    if (selection_.Contains(csSystemJ))
        for (const NamedColor& color : StandardColors())
            AddEntry(color.name, static_cast<TColor>(color.value));
    if (selection_.Contains(csExtended)) {
        if (OnLoadExtendedColors)
            OnLoadExtendedColors(this);
        for (const std::wstring& line : extendedColors_) {
            const size_t equals = line.find(L'=');
            if (equals == std::wstring::npos || equals == 0)
                continue;
            AddEntry(line.substr(0, equals),
                     ParseColorValue(std::wstring_view(line).substr(equals + 1)));
        }
    }
    if (selection_.Contains(csCustom))
        AddEntry(kOtherColorText, clNone);
}

TColor TColorLookupComboBox::SelectedColor() const {
    if (!combo_)
        return clNone;
    const auto index = static_cast<int>(::SendMessageW(combo_, CB_GETCURSEL, 0, 0));
    return index < 0 ? clNone : EntryColor(index);
}

void TColorLookupComboBox::SetSelectedColor(TColor color) {
    if (!combo_)
        return;
    int index = -1;
    if (color != clNone) {
        for (int i = 0, count = Count(); i < count && index < 0; ++i)
            if (EntryColor(i) == color)
                index = i;
        if (index < 0 && selection_.Contains(csCustom))
            index = AddCustomColor(L"", color);
    }
    ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TColorLookupComboBox::AddCustomColor(const std::wstring& name, TColor color) {
    // Custom entries sit before "その他..."; without that entry, or with no room for any
    // custom entry, there is no place for one that would not push out a listed colour.
    if (!combo_ || !selection_.Contains(csCustom) || maxCustomCount_ == 0)
        return -1;
    if (customCount_ >= maxCustomCount_) {
        ::SendMessageW(combo_, CB_DELETESTRING, static_cast<WPARAM>(Count() - customCount_ - 1), 0);
        --customCount_;
    }
    const std::wstring text = name.empty() ? ColorCodeText(color) : name;
    const auto index =
        static_cast<int>(::SendMessageW(combo_, CB_INSERTSTRING, static_cast<WPARAM>(Count() - 1),
                                        reinterpret_cast<LPARAM>(text.c_str())));
    if (index < 0)
        return -1;
    ::SendMessageW(combo_, CB_SETITEMDATA, static_cast<WPARAM>(index), ColorData(color));
    ++customCount_;
    return index;
}

bool TColorLookupComboBox::ChooseCustomColor(COLORREF& color) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = combo_;
    cc.rgbResult = RGB(0, 0, 0); // black, whatever the box shows
    cc.lpCustColors = dialogCustomColors_;
    cc.Flags = CC_RGBINIT;
    if (!::ChooseColorW(&cc))
        return false;
    color = cc.rgbResult;
    return true;
}

void TColorLookupComboBox::UserSelectionChanged() {
    const auto index = static_cast<int>(::SendMessageW(combo_, CB_GETCURSEL, 0, 0));
    if (selection_.Contains(csCustom) && index >= 0 && index == Count() - 1) {
        // The list is closed first, so that the colour dialog does not open under it.
        ::SendMessageW(combo_, CB_SHOWDROPDOWN, FALSE, 0);
        COLORREF chosen = 0;
        if (ChooseCustomColor(chosen))
            AddCustomColor(L"", static_cast<TColor>(chosen));
        ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(Count() - 2), 0);
    }
    if (OnChange)
        OnChange(this);
}

int TColorLookupComboBox::Scaled(int pixelsAt96) const {
    return ScaleForDpi(pixelsAt96, dpi_);
}

void TColorLookupComboBox::SetDpi(int dpi) {
    const int oldDpi = std::exchange(dpi_, dpi);
    if (!combo_ || dpi == oldDpi)
        return;
    // The selection field keeps the height the box chose for its font, now at the new DPI.
    const auto field =
        static_cast<int>(::SendMessageW(combo_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    ::SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                   RescaleForDpi(field, oldDpi, dpi));
    ::SendMessageW(combo_, CB_SETITEMHEIGHT, 0, Scaled(kItemHeight));
    ::InvalidateRect(combo_, nullptr, TRUE);
}

void TColorLookupComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
    TCanvas canvas(item.hDC);
    if (auto font = reinterpret_cast<HFONT>(::SendMessageW(combo_, WM_GETFONT, 0, 0)))
        canvas.Font.SetHandle(font);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    canvas.Brush.Color = SystemColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    canvas.Font.Color = (item.itemState & ODS_DISABLED) ? SystemColor(COLOR_GRAYTEXT)
                        : selected                      ? SystemColor(COLOR_HIGHLIGHTTEXT)
                                                        : SystemColor(COLOR_WINDOWTEXT);
    const RECT& r = item.rcItem;
    const int index = static_cast<int>(item.itemID);
    if (index < 0) {
        canvas.FillRect(r);
    } else if (showName_) {
        canvas.FillRect(r);
        const TColor text = canvas.Font.Color;
        const RECT swatch{r.left + Scaled(2), r.top + Scaled(2), r.left + Scaled(26),
                          r.bottom - Scaled(2)};
        canvas.Brush.Color = EntryColor(index);
        canvas.FillRect(swatch);
        canvas.Brush.Color = clBlack;
        canvas.FrameRect(swatch);
        const auto length = ::SendMessageW(combo_, CB_GETLBTEXTLEN, item.itemID, 0);
        std::wstring name(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
        if (length > 0)
            ::SendMessageW(combo_, CB_GETLBTEXT, item.itemID,
                           reinterpret_cast<LPARAM>(name.data()));
        canvas.Font.Color = text;
        canvas.SetTransparentText(true);
        canvas.TextOut(r.left + Scaled(30), r.top + Scaled(1), name);
    } else {
        canvas.Brush.Color = EntryColor(index);
        canvas.FillRect(r);
    }
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(item.hDC, &r);
}

LRESULT CALLBACK TColorLookupComboBox::ParentProc(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<TColorLookupComboBox*>(data);
    try {
        switch (message) {
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            // The selection field keeps the height the box chose for its font.
            if (mis->CtlType == ODT_COMBOBOX && static_cast<int>(mis->CtlID) == self->controlId_ &&
                mis->itemID != static_cast<UINT>(-1)) {
                mis->itemHeight = static_cast<UINT>(self->Scaled(kItemHeight));
                return TRUE;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (dis->CtlType == ODT_COMBOBOX && dis->hwndItem == self->combo_ && self->combo_) {
                self->DrawItem(*dis);
                return TRUE;
            }
            break;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) == CBN_SELCHANGE && reinterpret_cast<HWND>(lParam) == self->combo_ &&
                self->combo_)
                self->UserSelectionChanged();
            break;
        case WM_NCDESTROY:
            self->Detach();
            break;
        }
    } catch (...) {
        ReportException(std::current_exception());
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TColorLookupComboBox::ComboProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_NCDESTROY)
        reinterpret_cast<TColorLookupComboBox*>(data)->Detach();
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace tolvern
