#include "platform/win32/Win32Picture.h"

#include <cstdlib>
#include <cstring>


namespace snickit::win32 {

namespace {

// A 32-bit top-down DIB section holding the kept part of a decoded bitmap:
// its rows are the decoded words as they are (0x00RRGGBB is BGRX in memory).
HBITMAP BitmapFromPixels(const PicturePixels& kept) {
    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = kept.width;
    target.bmiHeader.biHeight = -kept.height;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, kept.pixels.data(), kept.pixels.size() * sizeof kept.pixels[0]);
    return bitmap;
}

}  // namespace

// Only these pixels reach GDI, never a skin's file. (LoadImageW reads the
// file itself and believes its header: a file cut short crashes it, and it
// refuses OS/2 1.x headers.)
PictureRef PictureFromPixels(const PicturePixels& kept) {
    HBITMAP bitmap = BitmapFromPixels(kept);
    return bitmap ? std::make_shared<Win32Picture>(bitmap) : nullptr;
}

Win32Picture::Win32Picture(HBITMAP bitmap) : bitmap_(bitmap) {
    BITMAP info{};
    if (GetObjectW(bitmap_, sizeof info, &info)) {
        width_ = info.bmWidth;
        height_ = std::abs(info.bmHeight);
    }
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
}

Win32Picture::~Win32Picture() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

std::uint32_t Win32Picture::PixelAt(int x, int y) const {
    const COLORREF colour = GetPixel(dc_, x, y);
    if (colour == CLR_INVALID) return 0;
    return static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
           static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

}  // namespace snickit::win32
