// The Windows desktop services: the picture loader on hostile files (each
// fails as a bad picture, or loads where GDI can draw it, at once, and all of
// them together never raise the process's peak memory near what their
// headers declare), bitmaps through GDI from a Unicode path, the desktop's
// density, the program folder and the user's settings folder.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {
namespace {

TEST(Win32Platform, PicturesHostileOrNotTheDensityAndTheFolders) {
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
