#include "platform/win32/Win32Picture.h"

#include <cstdlib>

#include "platform/NativeFiles.h"
#include "platform/win32/Win32Text.h"

namespace snickit::win32 {

PictureRef LoadPictureFile(const std::string& path) {
    std::wstring file = Widen(path);
    auto bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) {
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
            throw Failure(native::MissingKind(path), path);
        }
        throw Failure(FailureKind::BadPicture, path);
    }
    return std::make_shared<Win32Picture>(bitmap);
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
