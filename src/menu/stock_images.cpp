// The seven stock images of the launcher's image lists, drawn in code at the list's size.
#include "menu/stock_images.h"
#include "base/dib.h"

#include "base/unique_handle.h"

#include <functional>

namespace tolvern {

namespace {
constexpr COLORREF kKey = RGB(255, 0, 255); // drawn in this colour = transparent

// Draws a picture on a size x size canvas scaled from a 16-pixel design and makes an icon.
UniqueIcon MakeIcon(int size, const std::function<void(HDC, int)>& paint) {
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    UniqueBitmap colour = CreateTopDownDib(dc.get(), size, size, &bits);
    UniqueBitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
    {
        SelectGuard select(dc.get(), colour.get());
        UniqueBrush key(::CreateSolidBrush(kKey));
        RECT all{0, 0, size, size};
        ::FillRect(dc.get(), &all, key.get());
        ::SetMapMode(dc.get(), MM_ANISOTROPIC);
        ::SetWindowExtEx(dc.get(), 16, 16, nullptr);
        ::SetViewportExtEx(dc.get(), size, size, nullptr);
        paint(dc.get(), size);
        ::SetMapMode(dc.get(), MM_TEXT);
        ::GdiFlush();
        auto* px = static_cast<DWORD*>(bits);
        UniqueMemoryDC maskDC(::CreateCompatibleDC(nullptr));
        SelectGuard selectMask(maskDC.get(), mask.get());
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                DWORD& p = px[y * size + x];
                const bool transparent = (p & 0xFFFFFF) == 0xFF00FF;
                ::SetPixel(maskDC.get(), x, y, transparent ? RGB(255, 255, 255) : RGB(0, 0, 0));
                p = transparent ? 0 : (p | 0xFF000000u);
            }
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    return UniqueIcon(::CreateIconIndirect(&info));
}

void Shape(HDC dc, COLORREF fill, COLORREF line, const std::function<void()>& draw) {
    UniqueBrush brush(::CreateSolidBrush(fill));
    UniquePen pen(::CreatePen(PS_SOLID, 1, line));
    SelectGuard b(dc, brush.get());
    SelectGuard p(dc, pen.get());
    draw();
}

void Text(HDC dc, const wchar_t* text, COLORREF colour, RECT r) {
    UniqueFont font(
        ::CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    SelectGuard f(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Question(HDC dc, int) { // 0: white question mark on a green disc
    Shape(dc, RGB(0, 160, 0), RGB(0, 100, 0), [&] { ::Ellipse(dc, 0, 0, 16, 16); });
    Text(dc, L"?", RGB(255, 255, 255), RECT{0, 0, 16, 16});
}
void Hand(HDC dc, int) { // 1: red raised hand
    Shape(dc, RGB(220, 0, 0), RGB(140, 0, 0), [&] {
        ::RoundRect(dc, 3, 7, 14, 16, 4, 4);
        for (int f = 0; f < 4; ++f)
            ::RoundRect(dc, 3 + f * 3, 1 + (f == 0 || f == 3 ? 2 : 0), 6 + f * 3, 10, 2, 2);
        ::RoundRect(dc, 0, 7, 4, 12, 2, 2);
    });
}
void Wrench(HDC dc, int) { // 2: wrench
    Shape(dc, RGB(150, 150, 160), RGB(70, 70, 80), [&] {
        POINT handle[] = {{2, 13}, {4, 15}, {11, 7}, {9, 5}};
        ::Polygon(dc, handle, 4);
        ::Ellipse(dc, 8, 1, 15, 8);
    });
    Shape(dc, kKey, kKey, [&] { ::Rectangle(dc, 11, 0, 14, 4); });
}
void Monitor(HDC dc, int) { // 3: monitor with a pencil
    Shape(dc, RGB(40, 40, 40), RGB(0, 0, 0), [&] { ::Rectangle(dc, 0, 1, 14, 11); });
    Shape(dc, RGB(0, 120, 215), RGB(0, 120, 215), [&] { ::Rectangle(dc, 2, 3, 12, 9); });
    Shape(dc, RGB(120, 120, 120), RGB(60, 60, 60), [&] { ::Rectangle(dc, 4, 12, 10, 15); });
    Shape(dc, RGB(255, 200, 0), RGB(160, 100, 0), [&] {
        POINT pencil[] = {{9, 12}, {15, 6}, {16, 7}, {10, 13}};
        ::Polygon(dc, pencil, 4);
    });
}
void Aeroplane(HDC dc, int) { // 4: aeroplane
    Shape(dc, RGB(230, 230, 240), RGB(0, 0, 140), [&] {
        POINT body[] = {{1, 8}, {14, 7}, {15, 8}, {14, 9}};
        ::Polygon(dc, body, 4);
        POINT wing[] = {{6, 8}, {10, 1}, {11, 1}, {9, 8}, {11, 15}, {10, 15}};
        ::Polygon(dc, wing, 6);
        POINT tail[] = {{1, 8}, {2, 4}, {3, 4}, {4, 8}};
        ::Polygon(dc, tail, 4);
    });
}
void Computer(HDC dc, int) { // 5: computer (monitor on a system unit)
    Shape(dc, RGB(200, 200, 190), RGB(80, 80, 80), [&] {
        ::Rectangle(dc, 1, 10, 15, 16);
        ::Rectangle(dc, 3, 0, 13, 9);
    });
    Shape(dc, RGB(0, 128, 128), RGB(0, 128, 128), [&] { ::Rectangle(dc, 5, 2, 11, 7); });
    Shape(dc, RGB(0, 200, 0), RGB(0, 200, 0), [&] { ::Rectangle(dc, 11, 12, 13, 14); });
}
void Book(HDC dc, int) { // 6: purple book with a question mark
    Shape(dc, RGB(128, 0, 160), RGB(60, 0, 80), [&] { ::Rectangle(dc, 2, 0, 14, 16); });
    Shape(dc, RGB(240, 240, 240), RGB(240, 240, 240), [&] { ::Rectangle(dc, 3, 13, 14, 15); });
    Text(dc, L"?", RGB(255, 255, 0), RECT{2, 0, 14, 13});
}
} // namespace

void AddStockImages(TImageList& images) {
    for (auto paint : {Question, Hand, Wrench, Monitor, Aeroplane, Computer, Book}) {
        UniqueIcon icon = MakeIcon(images.Width(), paint);
        images.AddIcon(icon.get());
    }
}

} // namespace tolvern
