// A bitmap held in its own memory device context, so that it can be the
// source of a BitBlt at any time.
#pragma once

#include <windows.h>
// <windows.h> names these as macros; here they are the interface's methods.
#undef IsMinimized
#undef PlaySound

#include <string>

#include "platform/Platform.h"

namespace snickit::win32 {

class Win32Picture final : public Picture {
public:
    // Takes ownership of the bitmap.
    explicit Win32Picture(HBITMAP bitmap);
    ~Win32Picture() override;
    Win32Picture(const Win32Picture&) = delete;
    Win32Picture& operator=(const Win32Picture&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::uint32_t PixelAt(int x, int y) const override;
    HDC Dc() const { return dc_; }

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ previous_;
    int width_ = 0;
    int height_ = 0;
};

// A picture of pixels the core decoded (Platform::MakePicture), in a 32-bit
// DIB section; null when GDI cannot make it. Needs no window.
PictureRef PictureFromPixels(const PicturePixels& kept);

}  // namespace snickit::win32
