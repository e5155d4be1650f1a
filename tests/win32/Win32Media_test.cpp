// The Win32 picture loader on hostile files: each fails as a bad picture (or
// loads, where GDI can draw it) at once, and all of them together never
// raise the process's peak memory near what their headers declare.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win32/Win32Platform.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {
namespace {

TEST(Win32Loaders, HostilePicturesFailAsBadPicturesWithinTheBound) {
    TempFolder folder;
    folder.MakeFolder("Blue");
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
        std::string relative = row.path;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        if (!row.file.empty()) folder.Write(relative, row.file);
        int result = kLoaded;
        try {
            PictureRef picture = platform.LoadPicture(folder.path() + "\\" + row.path);
            if (picture->Width() != 240 || picture->Height() != 95) result = 99;
        } catch (const Failure& failure) {
            result = Code(failure.kind());
        }
        EXPECT_EQ(result, row.expected) << row.path;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory));
    EXPECT_LT(memory.PeakWorkingSetSize, std::size_t{256} << 20);
}

}  // namespace
}  // namespace snickit::test
