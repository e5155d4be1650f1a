// The Windows desktop services: the picture loader on hostile files (each
// fails as a bad picture, or loads where GDI can draw it, at once, and all of
// them together never raise the process's peak memory near what their
// headers declare), bitmaps through GDI from a Unicode path, the screen's
// twips per pixel and the program folder.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {
namespace {

TEST(Win32Platform, PicturesHostileOrNotTwipsAndTheProgramFolder) {
    TempFolder folder;
    win32::Win32Platform platform{GetModuleHandleW(nullptr)};
    std::vector<PictureRow> rows = CommonPictureRows();
    rows.insert(rows.end(), {
        {"Blue\\top-down-8-bit.bmp", BmpFile({.height = -95, .bits = 8}), kLoaded},
        {"Blue\\rle8.bmp", BmpFile({.bits = 8, .compression = 1, .imageBytes = 2, .pixelBytes = 2}), kLoaded},
        // GDI draws pixels outside the palette, SDL refuses them.
        {"Blue\\palette.bmp", BmpFile({.bits = 8, .colorsUsed = 2}), kLoaded},
        {"Blue\\no-bitmap.bmp", "this is no bitmap", Code(FailureKind::BadPicture)},
    });
    for (const auto& row : rows) {
        if (!row.file.empty()) folder.Write(row.path, row.file);
        EXPECT_EQ(Answer([&] { return platform.LoadPicture(folder.path() + "\\" + row.path); }), row.expected) << row.path;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory));
    EXPECT_LT(memory.PeakWorkingSetSize, std::size_t{256} << 20);
    // Pixels in their places and colours, from a Unicode path.
    std::string bytes = BmpFile({});  // grey 0x404040, bottom-up
    Put(bytes, 54 + 94 * 720, 0xFA0507, 3);  // the top-left pixel: blue, green, red
    std::ofstream(folder.root / u8"\u03A9\u65E5.bmp", std::ios::binary) << bytes;  // Greek and Japanese
    const PictureRef picture = platform.LoadPicture(folder.path() + "\\\xCE\xA9\xE6\x97\xA5.bmp");
    auto& native = dynamic_cast<const win32::Win32Picture&>(*picture);
    EXPECT_EQ(GetPixel(native.Dc(), 0, 0), RGB(250, 5, 7));
    EXPECT_EQ(GetPixel(native.Dc(), 239, 94), RGB(64, 64, 64));
    EXPECT_EQ(std::pair(picture->PixelAt(0, 0), picture->PixelAt(239, 94)), std::pair(0xFA0507u, 0x404040u));
    // Twips per pixel follow each axis; the program folder is the executable's.
    HDC screen = GetDC(nullptr);
    EXPECT_FLOAT_EQ(platform.TwipsPerPixelX(), 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX)));
    EXPECT_FLOAT_EQ(platform.TwipsPerPixelY(), 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY)));
    ReleaseDC(nullptr, screen);
    wchar_t self[MAX_PATH];
    std::wstring full(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    EXPECT_EQ(win32::Widen(platform.ProgramFolder()), full.substr(0, full.find_last_of(L'\\')));
}

}  // namespace
}  // namespace snickit::test
