// The Windows desktop services: bitmaps through GDI from a Unicode path, the
// screen's twips per pixel, the program folder (failures: Win32Media_test).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

namespace snickit {
namespace {

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
    std::string bytes = test::BmpFile({});  // grey 0x404040, bottom-up
    test::Put(bytes, 54 + 94 * 720, 0xFA0507, 3);  // the top-left pixel: blue, green, red
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    PictureRef picture = platform.LoadPicture(folder.path() + "\\" + skin + "\\box.bmp");
    EXPECT_EQ(picture->Width(), 240);
    EXPECT_EQ(picture->Height(), 95);
    auto& native = dynamic_cast<const win32::Win32Picture&>(*picture);
    EXPECT_EQ(GetPixel(native.Dc(), 0, 0), RGB(250, 5, 7));
    EXPECT_EQ(GetPixel(native.Dc(), 239, 94), RGB(64, 64, 64));
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
