// The file services on POSIX: program-form paths, letter case, the atomic
// settings writer.
#include <gtest/gtest.h>
#include <algorithm>
#include <signal.h>
#include <sys/resource.h>

#include "platform/NativeFiles.h"
#include "tests/support/Failures.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {
namespace {

TEST(PosixFiles, ProgramPathsBecomeNativeAndFindFoldersIgnoringCase) {
    TempFolder dir;
    dir.Write("skins/Blue/box.bmp", "BM");
    const std::string root = dir.path();
    EXPECT_EQ(native::NativePath(root + "\\skins\\Blue\\box.bmp"), root + "/skins/Blue/box.bmp");
    EXPECT_EQ(native::NativePath(root + "\\SKINS\\blue\\BOX.BMP"), root + "/skins/Blue/box.bmp");
    EXPECT_EQ(native::NativePath(root + "\\skins\\"), root + "/skins/");
    EXPECT_EQ(native::ReadTextFile(root + "\\Skins\\BLUE\\Box.bmp"), "BM");
    // Missing parts stay as they were given.
    EXPECT_EQ(native::NativePath(root + "\\skins\\Gone\\box.bmp"), root + "/skins/Gone/box.bmp");

    // Two entries equal but for case: only the exact one is taken.
    dir.Write("skins/BLUE/box.bmp", "other");
    EXPECT_EQ(native::ReadTextFile(root + "\\skins\\BLUE\\box.bmp"), "other");
    EXPECT_EQ(KindOf([&] { native::ReadTextFile(root + "\\skins\\bLue\\box.bmp"); }), FailureKind::PathNotFound);
}

TEST(PosixFiles, MissingFilesAndFoldersAreToldApart) {
    TempFolder dir;
    dir.Write("skins/Blue/box.bmp", "BM");
    const std::string root = dir.path();
    EXPECT_EQ(KindOf([&] { native::ReadTextFile(root + "\\config.sn"); }), FailureKind::FileNotFound);
    EXPECT_EQ(KindOf([&] { native::ReadTextFile(root + "\\skins\\Red\\box.bmp"); }), FailureKind::PathNotFound);
    EXPECT_EQ(KindOf([&] { native::ListSubfolders(root + "\\nothing\\"); }), FailureKind::PathNotFound);
    EXPECT_EQ(KindOf([&] { native::ReadTextFile(root + "\\skins"); }), FailureKind::CannotRead);
    EXPECT_EQ(native::MissingKind(root + "\\skins\\Blue\\1.wav"), FailureKind::FileNotFound);
    EXPECT_EQ(native::MissingKind(root + "\\skins\\Gone\\1.wav"), FailureKind::PathNotFound);
}

TEST(PosixFiles, SkinFoldersAreTheVisibleSubFolders) {
    TempFolder dir;
    dir.MakeFolder("skins/Zebra");
    dir.MakeFolder("skins/apple");
    dir.MakeFolder("skins/.git");
    dir.Write("skins/readme.txt", "x");
    std::vector<std::string> names = native::ListSubfolders(dir.path() + "\\skins\\");
    std::sort(names.begin(), names.end());  // in any order: the list sorts them
    EXPECT_EQ(names, (std::vector<std::string>{"Zebra", "apple"}));
}

TEST(PosixFiles, TheAtomicWriterReplacesWholeOrNotAtAll) {
    TempFolder dir;
    const std::string path = dir.path() + "\\config.sn";
    native::WriteTextFileAtomic(path, "first\r\n");  // no file before
    EXPECT_EQ(dir.Read("config.sn"), "first\r\n");
    native::WriteTextFileAtomic(path, " 3000 \r\n 1500 \r\nBlue\\\r\n");
    EXPECT_EQ(dir.Read("config.sn"), " 3000 \r\n 1500 \r\nBlue\\\r\n");

    // A disk that fills up halfway through the write: the size limit cuts
    // the new file short, and the old one must survive untouched.
    struct rlimit before;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = before;
    tiny.rlim_cur = 5;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    FailureKind kind = KindOf([&] { native::WriteTextFileAtomic(path, " 450 \r\n 600 \r\nred\\\r\n"); });
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(kind, FailureKind::CannotWrite);
    EXPECT_EQ(dir.Read("config.sn"), " 3000 \r\n 1500 \r\nBlue\\\r\n");
    EXPECT_FALSE(dir.Exists("config.sn.new"));

    // A folder that does not exist.
    EXPECT_EQ(KindOf([&] { native::WriteTextFileAtomic(dir.path() + "\\gone\\config.sn", "x"); }),
              FailureKind::CannotWrite);
}

}  // namespace
}  // namespace snickit::test
