// Whether a submenu shows its columns or one column that scrolls: what its columns need against
// the work area beside the menu it opens from.
#include "framework/submenu_fit.h"

#include "base/unique_handle.h"

#include <algorithm>

namespace tolvern {

SubmenuExtent MeasureSubmenu(const std::vector<MenuItemBox>& items,
                             const MenuFrameMetrics& metrics) {
    SubmenuExtent extent;
    int columnsWidth = 0, columnWidth = 0, widest = 0, height = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const int width = items[i].width + metrics.itemExtraWidth;
        if (i > 0 && items[i].startsColumn) {
            columnsWidth += columnWidth + metrics.columnGap;
            columnWidth = 0;
            ++extent.columns;
        }
        columnWidth = std::max(columnWidth, width);
        widest = std::max(widest, width);
        height += items[i].height;
    }
    extent.columnsWidth = columnsWidth + columnWidth + metrics.frameWidth;
    extent.oneColumnWidth = widest + metrics.frameWidth;
    extent.oneColumnHeight = height + metrics.frameHeight;
    return extent;
}

SubmenuLayout ChooseSubmenuLayout(const SubmenuExtent& extent, const RECT& workArea,
                                  const RECT& ownerItem, bool scrollTall) {
    const int right = static_cast<int>(workArea.right - std::max(ownerItem.right, workArea.left));
    const int left = static_cast<int>(std::min(ownerItem.left, workArea.right) - workArea.left);
    const int beside = std::max({right, left, 0});
    if (extent.columns > 1 && extent.columnsWidth > beside)
        return SubmenuLayout::Scroll;
    if (scrollTall && extent.oneColumnHeight > workArea.bottom - workArea.top)
        return SubmenuLayout::Scroll;
    return SubmenuLayout::Columns;
}

MenuFrameMetrics PopupMenuMetrics(const LOGFONTW& menuFont) {
    // An owner-drawn item gets twice the font's average character width, as the system finds it
    // from the alphabet; columns stand a few pixels apart inside the menu's frame.
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    UniqueFont font(::CreateFontIndirectW(&menuFont));
    const HGDIOBJ old = ::SelectObject(dc.get(), font.get());
    const wchar_t alphabet[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), alphabet, 52, &size);
    ::SelectObject(dc.get(), old);
    const int averageChar = (size.cx / 26 + 1) / 2;
    return {2 * averageChar, 4, 2 * ::GetSystemMetrics(SM_CXFIXEDFRAME),
            2 * ::GetSystemMetrics(SM_CYFIXEDFRAME)};
}

void ApplySubmenuLayout(HMENU menu, SubmenuLayout layout, int scrollHeight) {
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_MAXHEIGHT;
    if (layout == SubmenuLayout::Scroll) {
        for (int pos = 0; pos < ::GetMenuItemCount(menu); ++pos) {
            MENUITEMINFOW mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_FTYPE;
            if (::GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii) &&
                (mii.fType & MFT_MENUBARBREAK)) {
                mii.fType &= ~MFT_MENUBARBREAK;
                ::SetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii);
            }
        }
        info.cyMax = static_cast<UINT>(std::max(scrollHeight, 0));
    }
    ::SetMenuInfo(menu, &info);
}

} // namespace tolvern
