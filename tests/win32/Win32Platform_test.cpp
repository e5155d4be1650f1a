// The Windows desktop services: bitmaps through GDI and the screen's twips
// per pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "tests/support/Failures.h"
#include "tests/support/TempFolder.h"

namespace snickit {
namespace {

using test::TempFolder;
using win32::Widen;

// A 24-bit bitmap file, bottom-up, filled with one colour and a different
// top-left pixel.
std::string BitmapFile(int width, int height, COLORREF fill, COLORREF topLeft) {
    const int stride = (width * 3 + 3) & ~3;
    std::string file(54 + static_cast<size_t>(stride) * height, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = (x == 0 && y == height - 1) ? topLeft : fill;  // bottom-up rows
            size_t at = 54 + static_cast<size_t>(y) * stride + x * 3;
            file[at] = static_cast<char>(GetBValue(c));
            file[at + 1] = static_cast<char>(GetGValue(c));
            file[at + 2] = static_cast<char>(GetRValue(c));
        }
    }
    return file;
}

using test::KindOf;

class Win32PlatformTest : public ::testing::Test {
protected:
    win32::Win32Platform platform{GetModuleHandleW(nullptr)};
    TempFolder folder;
};

TEST_F(Win32PlatformTest, LoadsABitmapWithItsSizeAndPixels) {
    folder.Write("box.bmp", BitmapFile(240, 95, RGB(10, 200, 30), RGB(250, 5, 7)));
    PictureRef picture = platform.LoadPicture(folder.path() + "\\box.bmp");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 240);
    EXPECT_EQ(picture->Height(), 95);
    auto& native = dynamic_cast<const win32::Win32Picture&>(*picture);
    EXPECT_EQ(GetPixel(native.Dc(), 0, 0), RGB(250, 5, 7));
    EXPECT_EQ(GetPixel(native.Dc(), 239, 94), RGB(10, 200, 30));
}

TEST_F(Win32PlatformTest, LoadsABitmapFromAUnicodePath) {
    std::string skin = folder.path() + "\\\xCE\xA9\xE6\x97\xA5";
    ASSERT_TRUE(CreateDirectoryW(Widen(skin).c_str(), nullptr));
    HANDLE file = CreateFileW(Widen(skin + "\\box.bmp").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
    std::string bytes = BitmapFile(16, 8, RGB(1, 2, 3), RGB(1, 2, 3));
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(platform.LoadPicture(skin + "\\box.bmp")->Width(), 16);
}

TEST_F(Win32PlatformTest, PictureFailuresNameTheirKind) {
    folder.Write("skins/Blue/box.bmp", "this is no bitmap");
    std::string skins = folder.path() + "\\skins\\";
    EXPECT_EQ(KindOf([&] { platform.LoadPicture(skins + "Blue\\box.bmp"); }),
              FailureKind::BadPicture);
    EXPECT_EQ(KindOf([&] { platform.LoadPicture(skins + "Blue\\box2.bmp"); }),
              FailureKind::FileNotFound);
    EXPECT_EQ(KindOf([&] { platform.LoadPicture(skins + "Red\\box.bmp"); }),
              FailureKind::PathNotFound);
}

TEST_F(Win32PlatformTest, TwipsPerPixelFollowTheScreensDotsPerInch) {
    HDC screen = GetDC(nullptr);
    float x = 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX));
    float y = 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    EXPECT_FLOAT_EQ(platform.TwipsPerPixelX(), x);
    EXPECT_FLOAT_EQ(platform.TwipsPerPixelY(), y);
}

TEST_F(Win32PlatformTest, TheProgramFolderIsTheExecutablesFolder) {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring full(self, n);
    EXPECT_EQ(Widen(platform.ProgramFolder()), full.substr(0, full.find_last_of(L'\\')));
}

}  // namespace
}  // namespace snickit
