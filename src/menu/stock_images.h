// The seven stock images of the launcher's image lists, drawn in code at the list's size:
// 0 question mark on a green disc, 1 red raised hand, 2 wrench, 3 monitor with a pencil,
// 4 aeroplane, 5 computer, 6 purple book with a question mark.
#pragma once

#include "framework/image_list.h"

namespace tolvern {

enum StockImage {
    kImageNoPath = 0,
    kImageExit = 1,
    kImageSettings = 2,
    kImageDisplayProperties = 3,
    kImageAbout = 4,
    kImageExitWindows = 5,
    kImageHelp = 6,
};
inline constexpr int kStockImageCount = 7;

// Appends the seven images, with masks, at the list's own size.
void AddStockImages(TImageList& images);

} // namespace tolvern
