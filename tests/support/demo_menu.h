// The demo launcher menu: a TBarPopupMenu with the launcher's fixed top-level items, stock
// images drawn in code and a two-level submenu. Used by the demo program and screenshot tests.
#pragma once

#include "components/bar_popup_menu.h"
#include "framework/image_list.h"

#include <memory>

namespace tolvern::test {

struct DemoMenu {
    explicit DemoMenu(int drawStyle);
    TImageList small{16, 16};
    TBarPopupMenu menu;
    int clicks = 0;
    std::wstring lastClicked;
};

} // namespace tolvern::test
