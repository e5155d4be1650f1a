// The Windows file services: ANSI text files, the atomic writer, the
// sub-folder listing and the "not found" kinds.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/NativeFiles.h"
#include "platform/win32/Win32Text.h"
#include "tests/support/Failures.h"
#include "tests/support/TempFolder.h"

namespace snickit {
namespace {

using test::TempFolder;
using win32::Widen;

using test::KindOf;

TEST(Win32FilesTest, ReadsAnsiTextAsUtf8WithItsLineEnds) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs the Western code page 1252";
    TempFolder folder;
    folder.Write("config.sn", " 3000 \r\n 1500 \r\nGr\xFCn\\\r\n");
    EXPECT_EQ(native::ReadTextFile(folder.path() + "\\config.sn"),
              " 3000 \r\n 1500 \r\nGr\xC3\xBCn\\\r\n");
}

TEST(Win32FilesTest, WritesUtf8TextInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs the Western code page 1252";
    TempFolder folder;
    native::WriteTextFileAtomic(folder.path() + "\\config.sn", " 15 \r\n-150 \r\nGr\xC3\xBCn\\\r\n");
    EXPECT_EQ(folder.Read("config.sn"), " 15 \r\n-150 \r\nGr\xFCn\\\r\n");
}

TEST(Win32FilesTest, AtomicWriteReplacesTheOldFileAndLeavesNothingBeside) {
    TempFolder folder;
    folder.Write("config.sn", "old content that is longer than the new one\r\n");
    native::WriteTextFileAtomic(folder.path() + "\\config.sn", "new\r\n");
    EXPECT_EQ(folder.Read("config.sn"), "new\r\n");
    EXPECT_FALSE(folder.Exists("config.sn.new"));
}

TEST(Win32FilesTest, AtomicWriteCreatesAMissingFile) {
    TempFolder folder;
    native::WriteTextFileAtomic(folder.path() + "\\config.sn", "a\r\nb\r\nc\\\r\n");
    EXPECT_EQ(folder.Read("config.sn"), "a\r\nb\r\nc\\\r\n");
}

TEST(Win32FilesTest, AtomicWriteIntoAMissingFolderCannotWrite) {
    TempFolder folder;
    EXPECT_EQ(KindOf([&] { native::WriteTextFileAtomic(folder.path() + "\\no\\config.sn", "x"); }),
              FailureKind::CannotWrite);
    EXPECT_FALSE(folder.Exists("no"));
}

TEST(Win32FilesTest, AFailedReplacementKeepsTheOldAndRemovesTheNew) {
    TempFolder folder;
    // A folder where the file should go cannot be replaced by a file.
    folder.Write("config.sn/keep.txt", "kept");
    EXPECT_EQ(KindOf([&] { native::WriteTextFileAtomic(folder.path() + "\\config.sn", "x"); }),
              FailureKind::CannotWrite);
    EXPECT_EQ(folder.Read("config.sn/keep.txt"), "kept");
    EXPECT_FALSE(folder.Exists("config.sn.new"));
}

TEST(Win32FilesTest, MissingFilesAndFoldersHaveTheirKinds) {
    TempFolder folder;
    folder.MakeFolder("skins");
    EXPECT_EQ(native::MissingKind(folder.path() + "\\skins\\box.bmp"), FailureKind::FileNotFound);
    EXPECT_EQ(native::MissingKind(folder.path() + "\\skins\\Blue\\box.bmp"),
              FailureKind::PathNotFound);
    EXPECT_EQ(KindOf([&] { native::ReadTextFile(folder.path() + "\\config.sn"); }),
              FailureKind::FileNotFound);
    EXPECT_EQ(KindOf([&] { native::ReadTextFile(folder.path() + "\\gone\\config.sn"); }),
              FailureKind::PathNotFound);
}

TEST(Win32FilesTest, ListsVisibleSubfoldersOnly) {
    TempFolder folder;
    folder.MakeFolder("skins/Zebra");
    folder.MakeFolder("skins/blue");
    folder.MakeFolder("skins/Amber");
    folder.MakeFolder("skins/Hidden");
    folder.MakeFolder("skins/System");
    folder.Write("skins/notes.txt", "a file is no skin");
    std::string skins = folder.path() + "\\skins";
    SetFileAttributesW(Widen(skins + "\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(Widen(skins + "\\System").c_str(), FILE_ATTRIBUTE_SYSTEM);
    std::vector<std::string> expected{"Amber", "Zebra", "blue"};
    auto sorted = [](std::vector<std::string> names) {  // in any order: the list sorts them
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(sorted(native::ListSubfolders(skins)), expected);
    EXPECT_EQ(sorted(native::ListSubfolders(skins + "\\")), expected);  // as the program builds it
}

TEST(Win32FilesTest, ListsAnEmptyFolderAsNothingAndAMissingOneAsPathNotFound) {
    TempFolder folder;
    folder.MakeFolder("skins");
    EXPECT_TRUE(native::ListSubfolders(folder.path() + "\\skins\\").empty());
    EXPECT_EQ(KindOf([&] { native::ListSubfolders(folder.path() + "\\nothing\\"); }),
              FailureKind::PathNotFound);
}

TEST(Win32FilesTest, NamesOutsideTheAnsiCodePageSurvive) {
    TempFolder folder;
    const std::string name = "\xE6\x97\xA5\xE6\x9C\xAC-\xCE\xA9";  // Japanese and Greek
    std::string skin = folder.path() + "\\skins\\" + name;
    folder.MakeFolder("skins");
    ASSERT_TRUE(CreateDirectoryW(Widen(skin).c_str(), nullptr));
    EXPECT_EQ(native::ListSubfolders(folder.path() + "\\skins"), std::vector<std::string>{name});
    native::WriteTextFileAtomic(skin + "\\note.txt", "plain\r\n");
    EXPECT_EQ(native::ReadTextFile(skin + "\\note.txt"), "plain\r\n");
}

TEST(Win32FilesTest, TheExecutableFolderHoldsThisProgram) {
    std::string folder = native::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring full(self, n);
    EXPECT_EQ(Widen(folder), full.substr(0, full.find_last_of(L'\\')));
    EXPECT_NE(GetFileAttributesW((Widen(folder) + full.substr(full.find_last_of(L'\\'))).c_str()),
              INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace snickit
