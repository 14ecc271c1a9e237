// An image list of equally sized images with masks, over an HIMAGELIST.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace tolvern {

class TImageList {
public:
    TImageList(int width, int height);
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    ~TImageList();

    HIMAGELIST Handle() const { return handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;

    // Appends a copy of the icon (scaled to the list's size); returns its index, -1 on failure.
    int AddIcon(HICON icon);
    // A new icon handle of the image at index (the caller destroys it); nullptr when invalid.
    HICON GetIcon(int index) const;
    // Draws the image at index; a disabled image is drawn blended with the menu colour.
    void Draw(HDC dc, int x, int y, int index, bool enabled = true) const;
    void Clear();
    // Makes the images that size from now on, dropping every image.
    void Resize(int width, int height);
    // Drops the images from index count on.
    void Truncate(int count);

private:
    HIMAGELIST handle_;
    int width_;
    int height_;
};

} // namespace tolvern
