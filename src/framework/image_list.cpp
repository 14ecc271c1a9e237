// An image list of equally sized images with masks, over an HIMAGELIST.
#include "framework/image_list.h"

#include <stdexcept>

namespace tolvern {

TImageList::TImageList(int width, int height)
    : handle_(::ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 8, 8)), width_(width),
      height_(height) {
    if (!handle_)
        throw std::runtime_error("ImageList_Create failed");
}

TImageList::~TImageList() {
    ::ImageList_Destroy(handle_);
}

int TImageList::Count() const {
    return ::ImageList_GetImageCount(handle_);
}

int TImageList::AddIcon(HICON icon) {
    return ::ImageList_AddIcon(handle_, icon);
}

HICON TImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return ::ImageList_GetIcon(handle_, index, ILD_NORMAL);
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count())
        return;
    ::ImageList_DrawEx(handle_, index, dc, x, y, 0, 0, CLR_NONE,
                       enabled ? CLR_DEFAULT : ::GetSysColor(COLOR_MENU),
                       enabled ? ILD_NORMAL : ILD_BLEND50);
}

void TImageList::Clear() {
    ::ImageList_RemoveAll(handle_);
}

void TImageList::Resize(int width, int height) {
    if (width == width_ && height == height_)
        return;
    ::ImageList_SetIconSize(handle_, width, height);
    width_ = width;
    height_ = height;
}

void TImageList::Truncate(int count) {
    for (int i = Count() - 1; i >= count && i >= 0; --i)
        ::ImageList_Remove(handle_, i);
}

} // namespace tolvern
