// The Windows desktop services: bitmaps through GDI, which sounds
// sndPlaySound would find, the screen's twips per pixel, the program folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "tests/support/Failures.h"
#include "tests/support/TempFolder.h"

namespace snickit {
namespace {

// A 24-bit bottom-up bitmap file of one colour but its top-left pixel.
std::string BitmapFile(int width, int height, COLORREF fill, COLORREF topLeft) {
    const int stride = (width * 3 + 3) & ~3;
    std::string file(54 + static_cast<size_t>(stride) * height, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    file[0] = 'B', file[1] = 'M', file[26] = 1, file[28] = 24;
    put32(2, static_cast<uint32_t>(file.size())), put32(10, 54), put32(14, 40), put32(18, width), put32(22, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = (x == 0 && y == height - 1) ? topLeft : fill;
            char* at = &file[54 + static_cast<size_t>(y) * stride + x * 3];
            for (int k = 0; k < 3; ++k) at[k] = static_cast<char>(c >> (16 - 8 * k));  // blue, green, red
        }
    }
    return file;
}

class Win32PlatformTest : public ::testing::Test {
protected:
    win32::Win32Platform platform{GetModuleHandleW(nullptr)};
    test::TempFolder folder;
};

TEST_F(Win32PlatformTest, LoadsABitmapWithItsSizeAndPixelsAlsoFromAUnicodePath) {
    const std::string skin = "\xCE\xA9\xE6\x97\xA5";  // a Greek and a Japanese letter, UTF-8
    ASSERT_TRUE(CreateDirectoryW(win32::Widen(folder.path() + "\\" + skin).c_str(), nullptr));
    HANDLE file = CreateFileW(win32::Widen(folder.path() + "\\" + skin + "\\box.bmp").c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_NEW, 0, nullptr);
    const std::string bytes = BitmapFile(240, 95, RGB(10, 200, 30), RGB(250, 5, 7));
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    PictureRef picture = platform.LoadPicture(folder.path() + "\\" + skin + "\\box.bmp");
    EXPECT_EQ(picture->Width(), 240);
    EXPECT_EQ(picture->Height(), 95);
    auto& native = dynamic_cast<const win32::Win32Picture&>(*picture);
    EXPECT_EQ(GetPixel(native.Dc(), 0, 0), RGB(250, 5, 7));
    EXPECT_EQ(GetPixel(native.Dc(), 239, 94), RGB(10, 200, 30));
}

TEST_F(Win32PlatformTest, PictureFailuresNameTheirKind) {
    folder.Write("skins/Blue/box.bmp", "this is no bitmap");
    const std::pair<const char*, FailureKind> kPictures[] = {{"Blue\\box.bmp", FailureKind::BadPicture},
                                                             {"Blue\\box2.bmp", FailureKind::FileNotFound},
                                                             {"Red\\box.bmp", FailureKind::PathNotFound}};
    for (const auto& [file, kind] : kPictures) {
        EXPECT_EQ(test::KindOf([&] { platform.LoadPicture(folder.path() + "\\skins\\" + file); }), kind) << file;
    }
}

TEST_F(Win32PlatformTest, TwipsPerPixelFollowEachAxisAndTheProgramFolderIsTheExecutables) {
    HDC screen = GetDC(nullptr);
    EXPECT_FLOAT_EQ(platform.TwipsPerPixelX(), 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX)));
    EXPECT_FLOAT_EQ(platform.TwipsPerPixelY(), 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY)));
    ReleaseDC(nullptr, screen);
    wchar_t self[MAX_PATH];
    std::wstring full(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    EXPECT_EQ(win32::Widen(platform.ProgramFolder()), full.substr(0, full.find_last_of(L'\\')));
}

}  // namespace
}  // namespace snickit
