// The Windows desktop services: the picture loader on hostile files (each
// fails as a bad picture, or loads its window-sized part), a Unicode path
// and the settings folders. (Every layout's pixels are
// the decoder's, tested on every system; the pixels through GDI, the user's
// folder and a read-only config.sn are the desktop run's.)
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/Win32Platform.h"
#include "skin/BitmapCheck.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {
namespace {

TEST(Win32Platform, HostilePicturesAUnicodePathAndTheFolders) {
    TempFolder folder;
    win32::Win32Platform platform{GetModuleHandleW(nullptr)};
    for (const PictureRow& row : CommonPictureRows()) {
        if (!row.file.empty()) folder.Write(row.path, row.file);
        if (row.growTo) folder.Grow(row.path, row.growTo);
        const std::string path = folder.path() + "\\" + row.path;
        EXPECT_EQ(Answer([&] { return LoadPictureFile(platform, path); }), row.expected) << row.path;
    }
    // A picture from a Unicode path (Greek and Japanese).
    std::ofstream(folder.root / u8"\u03A9\u65E5.bmp", std::ios::binary) << BmpFile({});
    const std::string unicode = folder.path() + "\\\xCE\xA9\xE6\x97\xA5.bmp";
    EXPECT_EQ(Answer([&] { return LoadPictureFile(platform, unicode); }), kLoaded);

    // Settings: only a file may be replaced; folders are made a level at a
    // time, and not under a file.
    folder.Write("plain.sn", "1");
    for (const auto& [name, replaceable] : {std::pair{"plain.sn", true}, {"Blue", false}, {"none.sn", false}})
        EXPECT_EQ(platform.CanReplaceFile(folder.path() + "\\" + name), replaceable) << name;
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
