// The native files layer, one contract for every system: paths and letter
// case, the kinds of "not found", skin folders, reading only small regular
// files, and the settings writer that replaces whole or not at all. Rows that
// only one system can set up are marked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "platform/NativeFiles.h"
#include "tests/support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace snickit::test {
namespace {

namespace fs = std::filesystem;
using Arrange = std::function<void(const fs::path&)>;
enum Only { Both, Posix, Cp1252 };  // Cp1252: POSIX, or Windows with the Western code page
const std::string kOld = " 3000 \r\n 1500 \r\nBlue\\\r\n", kNew = " 450 \r\n-600 \r\nred\\\r\n";
const char* const kKinds[] = {"<FileNotFound>", "<PathNotFound>", "<InputPastEnd>", "<BadPicture>",
                              "<CannotRead>",   "<CannotWrite>",  "<CannotStart>"};

void Put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}
std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What an action gives: its text, or the kind of its failure (which must name the file).
std::string Outcome(const std::string& path, const std::function<std::string()>& action) {
    try {
        return action();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.path(), path);
        return kKinds[static_cast<int>(failure.kind())];
    }
}

std::string WriteNew(const std::string& path) {
    return Outcome(path, [&] {
        native::WriteTextFileAtomic(path, kNew);
        return std::string("ok");
    });
}

#ifdef _WIN32
constexpr bool kPosix = false;
const bool kWestern = GetACP() == 1252;  // the code page the encoding rows are written for
void MakeHidden(const fs::path& folder) {
    fs::create_directories(folder);
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
}
void MakeFifo(const fs::path&) {}
fs::perms NewFilePerms() { return fs::perms(0666); }
std::string Write(const fs::path&, const std::string& path, bool) { return WriteNew(path); }
#else
constexpr bool kPosix = true, kWestern = true;
void MakeHidden(const fs::path& folder) { fs::create_directories(folder.parent_path() / ("." + folder.filename().string())); }
void MakeFifo(const fs::path& file) { ASSERT_EQ(mkfifo(file.c_str(), 0644), 0); }
fs::perms NewFilePerms() {
    mode_t mask = umask(0);
    umask(mask);
    return fs::perms(0666 & ~mask);
}
// Writes in a child, as an ordinary user (root passes every permission
// check), optionally with a file size limit that stands for a full disk.
std::string Write(const fs::path& root, const std::string& path, bool fullDisk) {
    const uid_t nobody = 65534;
    if (geteuid() == 0) {
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            EXPECT_EQ(lchown(entry.path().c_str(), nobody, nobody), 0);
        }
        EXPECT_EQ(chown(root.c_str(), nobody, nobody), 0);
    }
    pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) || setgid(nobody) || setuid(nobody))) _exit(100);
        rlimit limit{5, 5};
        if (fullDisk && (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit))) _exit(100);
        std::string outcome = WriteNew(path);
        _exit(outcome == "ok" ? 0 : outcome == "<CannotWrite>" ? 1 : 2);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) < 2 ? (WEXITSTATUS(status) ? "<CannotWrite>" : "ok") : "child failed";
}
#endif
bool Runs(Only only) { return only == Both || (only == Posix && kPosix) || (only == Cp1252 && kWestern); }

TEST(Files, ProgramPathsFolderKindsAndSkinFolders) {
    TempFolder dir;
    const std::string root = dir.path();
    dir.Write("skins/Blue/box.bmp", "BM");
    dir.MakeFolder("skins/Zebra");
    fs::create_directories(fs::path(root) / "skins" / u8"\u65E5\u672C-\u03A9");  // Japanese and Greek
    MakeHidden(fs::path(root) / "skins" / "git");
    dir.Write("skins/readme.txt", "a file is no skin");
    // Program form, and what it becomes on POSIX (Windows takes it as it is).
    for (auto [given, posix] : {std::pair{"\\skins\\Blue\\box.bmp", "/skins/Blue/box.bmp"},
                                {"\\SKINS\\blue\\BOX.BMP", "/skins/Blue/box.bmp"},
                                {"\\skins\\", "/skins/"},
                                {"\\skins\\Gone\\box.bmp", "/skins/Gone/box.bmp"}}) {
        EXPECT_EQ(native::NativePath(root + given), root + (kPosix ? posix : given)) << given;
    }
    EXPECT_EQ(native::ReadTextFile(root + "\\Skins\\BLUE\\Box.bmp"), "BM");
    EXPECT_EQ(native::MissingKind(root + "\\skins\\Blue\\1.wav"), FailureKind::FileNotFound);
    EXPECT_EQ(native::MissingKind(root + "\\skins\\Gone\\1.wav"), FailureKind::PathNotFound);
    const std::vector<std::string> skins{"Blue", "Zebra", "\xE6\x97\xA5\xE6\x9C\xAC-\xCE\xA9"};
    EXPECT_EQ(native::ListSubfolders(root + "\\skins\\"), skins);
    EXPECT_EQ(native::ListSubfolders(root + "\\skins"), skins);
    EXPECT_EQ(native::ListSubfolders(root + "\\skins\\Zebra\\"), std::vector<std::string>{});
    EXPECT_EQ(Outcome(root + "\\nothing\\", [&] { return native::ListSubfolders(root + "\\nothing\\").at(0); }),
              "<PathNotFound>");
    if (kPosix) {  // two entries equal but for case: only the exact one is taken
        dir.Write("skins/BLUE/box.bmp", "other");
        EXPECT_EQ(native::ReadTextFile(root + "\\skins\\BLUE\\box.bmp"), "other");
        EXPECT_EQ(native::MissingKind(root + "\\skins\\bLue\\box.bmp"), FailureKind::PathNotFound);
    }
    const fs::path self = native::ExecutableFolder();
    EXPECT_TRUE(fs::exists(self / "snickit_tests") || fs::exists(self / "snickit_tests.exe")) << self;
}

TEST(Files, ReadsOnlySmallRegularFiles) {
    const std::string big(64 * 1024, 'x');
    struct Row {
        const char* name;
        Only only;
        Arrange arrange;
        std::string expected;
        const char* file = "config.sn";
    } rows[] = {
        {"regular file", Both, [&](auto p) { Put(p / "config.sn", kOld); }, kOld},
        {"64 KB", Both, [&](auto p) { Put(p / "config.sn", big); }, big},
        {"over 64 KB", Both, [&](auto p) { Put(p / "config.sn", big + "\n"); }, "<CannotRead>"},
        {"missing file", Both, [](auto) {}, "<FileNotFound>"},
        {"missing folder", Both, [](auto) {}, "<PathNotFound>", "gone\\config.sn"},
        {"a folder", Both, [](auto p) { fs::create_directory(p / "config.sn"); }, "<CannotRead>"},
        {"UTF-8 after a byte order mark", Both,
         [](auto p) { Put(p / "config.sn", "\xEF\xBB\xBF\xD0\x9A\xD0\xBE\xD1\x82\\"); },
         "\xD0\x9A\xD0\xBE\xD1\x82\\"},
        {"ANSI (Windows) or bytes as they are", Cp1252, [](auto p) { Put(p / "config.sn", "Gr\xFCn\\"); },
         kPosix ? "Gr\xFCn\\" : "Gr\xC3\xBCn\\"},
        {"FIFO, never blocks", Posix, [](auto p) { MakeFifo(p / "config.sn"); }, "<CannotRead>"},
        {"link to /dev/zero", Posix, [](auto p) { fs::create_symlink("/dev/zero", p / "config.sn"); }, "<CannotRead>"},
    };
    for (const Row& row : rows) {
        if (!Runs(row.only)) continue;
        TempFolder dir;
        row.arrange(dir.path());
        const std::string path = dir.path() + "\\" + row.file;
        EXPECT_EQ(Outcome(path, [&] { return native::ReadTextFile(path); }), row.expected) << row.name;
    }
}

// Every entry under a folder: permissions, then link target or bytes.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::file_status status = fs::symlink_status(entry.path());
        std::string& what = entries[entry.path().lexically_relative(root).generic_string()];
        what = std::to_string(static_cast<int>(status.permissions())) + " ";
        if (fs::is_symlink(status)) what += "-> " + fs::read_symlink(entry.path()).generic_string();
        if (fs::is_regular_file(status)) what += Get(entry.path());
    }
    return entries;
}

TEST(Files, SettingsAreReplacedWholeOrNotAtAll) {
    const auto put = [](const char* file, const std::string& text, fs::perms perms = fs::perms(0644)) {
        return [=](const fs::path& p) {
            Put(p / file, text);
            fs::permissions(p / file, perms);
        };
    };
    struct Row {
        const char* name;
        Only only;
        Arrange arrange;
        const char* changed;  // the file that takes the new text; none when refused
        const char* file = "config.sn";
        bool fullDisk = false;
    } rows[] = {
        {"no file before", Both, [](auto) {}, "config.sn"},
        {"plain file", Both, put("config.sn", kOld), "config.sn"},
        {"mode 0600 kept", Posix, put("config.sn", kOld, fs::perms(0600)), "config.sn"},
        {"mode 0664 kept", Posix, put("config.sn", kOld, fs::perms(0664)), "config.sn"},
        {"read-only file refused", Both, put("config.sn", kOld, fs::perms(0444)), nullptr},
        {"link written through to its target", Posix,
         [&](auto p) {
             fs::create_directory(p / "store");
             put("store/real.sn", kOld)(p);
             fs::create_symlink("store/real.sn", p / "config.sn");
         },
         "store/real.sn"},
        {"link planted at the old temporary name not followed", Posix,
         [&](auto p) {
             put("config.sn", kOld)(p);
             put("victim", "not ours")(p);
             fs::create_symlink("victim", p / "config.sn.new");
         },
         "config.sn"},
        {"leftovers of a killed run harmless", Both,
         [&](auto p) {
             put("config.sn", kOld)(p);
             put("config.sn.new", "half")(p);
             put("config.sn.AbC123", "half")(p);
         },
         "config.sn"},
        {"folder that takes no new file: rewritten in place", Posix,
         [&](auto p) {
             put("config.sn", kOld, fs::perms(0666))(p);
             fs::permissions(p, fs::perms(0555));
         },
         "config.sn"},
        {"full disk keeps the old file", Posix, put("config.sn", kOld), nullptr, "config.sn", true},
        {"a folder in the way", Both, [](auto p) { Put(p / "config.sn" / "keep", "kept"); }, nullptr},
        {"missing folder", Both, [](auto) {}, nullptr, "gone\\config.sn"},
    };
    for (const Row& row : rows) {
        if (!Runs(row.only)) continue;
        TempFolder dir;
        const fs::path root = dir.path();
        row.arrange(root);
        std::map<std::string, std::string> expected = Snapshot(root);
        if (row.changed) {
            std::string& entry = expected[row.changed];
            entry = (entry.empty() ? std::to_string(static_cast<int>(NewFilePerms())) : entry.substr(0, entry.find(' '))) +
                    " " + kNew;
        }
        EXPECT_EQ(Write(root, dir.path() + "\\" + row.file, row.fullDisk), row.changed ? "ok" : "<CannotWrite>")
            << row.name;
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(Snapshot(root), expected) << row.name;
    }
}

TEST(Files, SkinNamesSurviveTheSettingsFile) {
    if (!kWestern) GTEST_SKIP() << "the Windows rows are written for code page 1252";
    TempFolder dir;
    const std::string path = dir.path() + "\\config.sn";
    // Text, and the bytes Windows stores: ANSI where the code page has every
    // character, UTF-8 after a byte order mark where it has not.
    for (auto [text, windows] : {std::pair{"Gr\xC3\xBCn\\\r\n", "Gr\xFCn\\\r\n"},
                                 {"\xD0\x9A\xD0\xBE\xD1\x82\\\r\n", "\xEF\xBB\xBF\xD0\x9A\xD0\xBE\xD1\x82\\\r\n"}}) {
        native::WriteTextFileAtomic(path, text);
        EXPECT_EQ(dir.Read("config.sn"), kPosix ? text : windows);
        EXPECT_EQ(native::ReadTextFile(path), text);
    }
}

}  // namespace
}  // namespace snickit::test
