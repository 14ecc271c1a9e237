// Whether a submenu shows its columns or one column that scrolls: what its columns need against
// the work area beside the menu it opens from.
#include "framework/submenu_fit.h"

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

} // namespace tolvern
