// The Windows desktop services: the picture loader on hostile files (each
// fails as a bad picture, or loads its window-sized part, and all of them
// together raise the process's peak memory by less than 64 MiB), every valid
// BMP layout with its pixels, bitmaps through GDI from a Unicode path, the
// desktop's density, the program folder and the user's settings folder.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "skin/BitmapCheck.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {
namespace {

std::size_t PeakMemory() {
    PROCESS_MEMORY_COUNTERS memory{};
    EXPECT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory));
    return memory.PeakWorkingSetSize;
}

TEST(Win32Platform, PicturesHostileOrNotTheDensityAndTheFolders) {
    TempFolder folder;
    win32::Win32Platform platform{GetModuleHandleW(nullptr)};
    std::vector<PictureRow> rows = CommonPictureRows();
    rows.insert(rows.end(), {
        {"Blue\\top-down-8-bit.bmp", BmpFile({.height = -95, .bits = 8}), kLoaded},
        {"Blue\\no-bitmap.bmp", "this is no bitmap", Code(FailureKind::BadPicture)},
    });
    for (auto& row : rows) {
        if (!row.file.empty()) folder.Write(row.path, row.file);
        if (row.growTo) folder.Grow(row.path, row.growTo);
        row.file = {};
    }
    const std::size_t before = PeakMemory();
    for (const auto& row : rows)
        EXPECT_EQ(Answer([&] { return LoadPictureFile(platform, folder.path() + "\\" + row.path); }), row.expected) << row.path;
    EXPECT_LT(PeakMemory(), before + (std::size_t{64} << 20));
    // Each layout, small and larger than the window: the picture is the
    // file's top-left part, pixel for pixel, as GDI reads it back.
    for (const BmpLayout& layout : ValidLayouts())
        for (auto [width, height] : {std::pair{13, 6}, {251, 97}}) {
            std::vector<uint32_t> pixels;
            folder.Write("p.bmp", PatternBmp(layout, width, height, &pixels));
            const int keptWidth = std::min(width, 240), keptHeight = std::min(height, 95);
            const PictureRef picture = LoadPictureFile(platform, folder.path() + "\\p.bmp");
            ASSERT_EQ(std::pair(picture->Width(), picture->Height()), std::pair(keptWidth, keptHeight)) << layout.what;
            std::vector<uint32_t> read;
            for (int y = 0; y < keptHeight; ++y)
                for (int x = 0; x < keptWidth; ++x) read.push_back(picture->PixelAt(x, y));
            EXPECT_EQ(read, TopLeft(pixels, width, keptWidth, keptHeight)) << layout.what << ", " << width;
        }
    // Pixels in their places and colours, from a Unicode path.
    std::string bytes = BmpFile({});  // grey 0x404040, bottom-up
    Put(bytes, 54 + 94 * 720, 0xFA0507, 3);  // the top-left pixel: blue, green, red
    std::ofstream(folder.root / u8"\u03A9\u65E5.bmp", std::ios::binary) << bytes;  // Greek and Japanese
    const PictureRef picture = LoadPictureFile(platform, folder.path() + "\\\xCE\xA9\xE6\x97\xA5.bmp");
    auto& native = dynamic_cast<const win32::Win32Picture&>(*picture);
    EXPECT_EQ(GetPixel(native.Dc(), 0, 0), RGB(250, 5, 7));
    EXPECT_EQ(GetPixel(native.Dc(), 239, 94), RGB(64, 64, 64));
    EXPECT_EQ(std::pair(picture->PixelAt(0, 0), picture->PixelAt(239, 94)), std::pair(0xFA0507u, 0x404040u));
    // The density is the desktop's (one monitor); the program folder is the
    // executable's.
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(platform.DotsPerInch(), GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    wchar_t self[MAX_PATH];
    std::wstring full(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    EXPECT_EQ(win32::Widen(platform.ProgramFolder()), full.substr(0, full.find_last_of(L'\\')));

    // Settings: a file this user may replace, or the user's own folder.
    folder.Write("plain.sn", "1");
    folder.Write("read-only.sn", "1");
    SetFileAttributesW(win32::Widen(folder.path() + "\\read-only.sn").c_str(), FILE_ATTRIBUTE_READONLY);
    for (const auto& [name, replaceable] : {std::pair{"plain.sn", true}, {"read-only.sn", false}, {"Blue", false}, {"none.sn", false}})
        EXPECT_EQ(platform.CanReplaceFile(folder.path() + "\\" + name), replaceable) << name;
    SetFileAttributesW(win32::Widen(folder.path() + "\\read-only.sn").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(win32::Widen(platform.UserSettingsFolder()), std::wstring(_wgetenv(L"APPDATA")) + L"\\Snickit");
    platform.MakeFolders(folder.path() + "\\made\\in\\one");
    EXPECT_TRUE(std::filesystem::is_directory(folder.root / "made" / "in" / "one"));
    try {
        platform.MakeFolders(folder.path() + "\\plain.sn\\under");  // under a file
        ADD_FAILURE() << "a folder made under a file";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), FailureKind::CannotWrite);
    }
}

}  // namespace
}  // namespace snickit::test
