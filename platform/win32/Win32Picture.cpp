#include "platform/win32/Win32Picture.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/NativePictureFile.h"
#include "platform/win32/Win32Text.h"
#include "skin/LittleEndian.h"

namespace snickit::win32 {

namespace {

// A bitmap made from a checked BMP file's own bytes: a 32-bit DIB section
// of its size, into which GDI converts the file's pixels (any depth, palette,
// bit fields or RLE, either way up).
HBITMAP BitmapFromFile(const std::vector<unsigned char>& file, const BitmapVerdict& verdict) {
    const std::size_t pixelOffset = Get32(file.data() + 10);
    // Copies in aligned memory: the headers as BITMAPINFO, and the pixels.
    std::vector<uint32_t> info((pixelOffset - 14 + 3) / 4);
    std::memcpy(info.data(), file.data() + 14, pixelOffset - 14);
    std::vector<uint32_t> pixels((file.size() - pixelOffset + 3) / 4);
    std::memcpy(pixels.data(), file.data() + pixelOffset, file.size() - pixelOffset);

    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = verdict.width;
    target.bmiHeader.biHeight = verdict.height;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    const int lines = SetDIBits(dc, bitmap, 0, static_cast<UINT>(verdict.height), pixels.data(),
                                reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    DeleteDC(dc);
    if (lines <= 0) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

// The file is read once and checked, and the bitmap is made from those
// bytes. (LoadImageW reads the file itself and believes its header: a file
// cut short crashes it.)
PictureRef LoadPictureFile(const std::string& path) {
    return native::LoadCheckedPicture(path, [](const std::vector<unsigned char>& file, const BitmapVerdict& verdict) {
        HBITMAP bitmap = BitmapFromFile(file, verdict);
        return bitmap ? PictureRef(std::make_shared<Win32Picture>(bitmap)) : nullptr;
    });
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
