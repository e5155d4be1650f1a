// The native files layer, one contract for every system; rows that only one
// system can set up are marked.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "platform/NativeFilesPlatform.h"
#include "tests/support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// The save's calls to fsync and rename, recorded while `gRecording` by file
// name (a file's with its size): on POSIX these stand in for the C library's
// (the executable's own come first) and hand every call on to it.
namespace {
bool gRecording = false, gRefuseRename = false;
std::vector<std::string> gCalls;
// A file's name; a save's own without its six random letters.
[[maybe_unused]] std::string Name(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.starts_with(".config.sn.snickit-save-") ? name.substr(0, name.size() - 6) : name;
}
}  // namespace
#ifndef _WIN32
extern "C" int fsync(int fd) {
    struct stat info;
    if (gRecording && fstat(fd, &info) == 0)
        gCalls.push_back("fsync " + Name(std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd))) +
                         (S_ISREG(info.st_mode) ? " " + std::to_string(info.st_size) : "/"));
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}
extern "C" int rename(const char* from, const char* to) noexcept {
    if (gRecording) gCalls.push_back("rename " + Name(from) + " " + Name(to));
    if (gRefuseRename) return errno = EIO, -1;
    return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(from, to);
}
#endif

namespace snickit::test {
namespace {

namespace fs = std::filesystem;
// Root: POSIX run as root (which may give a file to another user).
enum Only { Both, Posix, Root };
// How a save is run: in this process, or (POSIX) in a child as an ordinary
// user, there with a full disk.
enum How { Self, User, FullDisk };
const std::string kOld = " 3000 \r\n 1500 \r\nBlue\\\r\n", kNew = " 450 \r\n-600 \r\nred\\\r\n";
const char* const kKinds[] = {"<FileNotFound>", "<PathNotFound>", "<InputPastEnd>", "<BadPicture>",
                              "<CannotRead>",   "<CannotWrite>",  "<CannotStart>", "<BadSettings>"};

// What an action gives: its text, or the kind of its failure (which names the file).
std::string Outcome(const std::string& path, const std::function<std::string()>& action) {
    try {
        return action();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.path(), path);
        return kKinds[static_cast<int>(failure.kind())];
    }
}
std::string WriteNew(const std::string& path) {
    return Outcome(path, [&] { return native::WriteTextFileAtomic(path, kNew), std::string("ok"); });
}

#ifdef _WIN32
constexpr bool kPosix = false, kRoot = false;
const bool kWestern = GetACP() == 1252;
void MakeHidden(const fs::path& folder) { SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN); }
void MakeFifo(const fs::path&) {}
fs::perms NewFilePerms() { return fs::perms(0666); }
std::string Write(const fs::path&, const std::string& path, How) { return WriteNew(path); }
// Wine keeps no access lists of files (it reports one made from the Unix
// mode): nothing to compare there.
std::string Protection(const fs::path&) { return ""; }
void GiveToOther(const fs::path&) {}
// Holds a file open as a running save holds its new file, until let go.
std::shared_ptr<void> Hold(const fs::path& file) {
    const HANDLE held = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    return std::shared_ptr<void>(held, CloseHandle);
}
// Handles this process holds: the values that name one (GetProcessHandleCount
// says 0 under Wine).
long OpenHandles() {
    long count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}
#else
constexpr bool kPosix = true, kWestern = true;
const bool kRoot = geteuid() == 0;
void MakeHidden(const fs::path& path) { fs::rename(path, path.parent_path() / ("." + path.filename().string())); }
void MakeFifo(const fs::path& file) { ASSERT_EQ(mkfifo(file.c_str(), 0644), 0); }
fs::perms NewFilePerms() { const mode_t mask = umask(0); return umask(mask), fs::perms(0666 & ~mask); }
// Another user's, one that is neither the writing child nor root.
const uid_t kOther = 65533;
std::string Protection(const fs::path& file) {
    struct stat info;
    return lstat(file.c_str(), &info) == 0 && info.st_uid == kOther ? "another user's" : "";
}
void GiveToOther(const fs::path& file) { EXPECT_EQ(lchown(file.c_str(), kOther, kOther), 0); }
std::shared_ptr<void> Hold(const fs::path& file) {
    const int fd = open(file.c_str(), O_RDWR);
    EXPECT_EQ(flock(fd, LOCK_EX), 0);
    return std::shared_ptr<void>(nullptr, [fd](void*) { close(fd); });
}
// File descriptors this process holds.
long OpenHandles() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}
// Writes in a child as an ordinary user (root passes every permission
// check), with a file size limit that stands for a full disk.
std::string Write(const fs::path& root, const std::string& path, How how) {
    if (how == Self) return WriteNew(path);
    const uid_t nobody = 65534;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        EXPECT_FALSE(kRoot && Protection(entry.path()).empty() && lchown(entry.path().c_str(), nobody, nobody));
    EXPECT_FALSE(kRoot && chown(root.c_str(), nobody, nobody));
    if (fork() == 0) {
        if (kRoot && (setgroups(0, nullptr) || setgid(nobody) || setuid(nobody))) _exit(100);
        rlimit limit{5, 5};
        if (how == FullDisk && (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit))) _exit(100);
        const std::string outcome = WriteNew(path);
        _exit(outcome == "ok" ? 0 : outcome == kKinds[5] ? 1 : 2);
    }
    int status = -1;
    waitpid(-1, &status, 0);
    return status == 0 ? "ok" : status == W_EXITCODE(1, 0) ? kKinds[5] : "child status " + std::to_string(status);
}
#endif
std::vector<std::string> Sorted(std::vector<std::string> names) { return std::ranges::sort(names), names; }
using Bytes = std::vector<unsigned char>;

TEST(Files, ProgramPathsAndSkinFolders) {
    TempFolder dir;
    const std::string root = dir.path();
    for (const char* file : {"skins/Blue/box.bmp", "skins/Zebra/box.bmp", "skins/git/box.bmp", "skins/readme"})
        dir.Write(file, "BM");
    fs::create_directories(fs::path(root) / "skins" / u8"\u65E5\u672C-\u03A9");  // Japanese and Greek
    std::ofstream(fs::path(root) / "skins" / u8"\u65E5\u672C-\u03A9" / "box.bmp", std::ios::binary) << "BM";
    MakeHidden(fs::path(root) / "skins" / "git");
    std::vector<std::string> skins{"Blue", "Zebra", "\xE6\x97\xA5\xE6\x9C\xAC-\xCE\xA9"};
    EXPECT_EQ(native::ReadBinaryFile(root + "\\skins\\" + skins[2] + "\\box.bmp", 2), Bytes({'B', 'M'}));
    if (kPosix) {  // two entries equal but for case; a link to a folder
        dir.Write("skins/BLUE/box.bmp", "other");
        fs::create_directory_symlink("Zebra", fs::path(root) / "skins" / "Linked");
        skins.insert(skins.end(), {"BLUE", "Linked"});
    }
    // Program form, and what it becomes on POSIX (Windows takes it as it is):
    // the one entry that differs only in case, else the exact one, else as given.
    for (auto [given, posix] : {std::pair{"\\skins\\", "/skins/"}, {"\\SKINS\\zebra\\BOX.BMP", "/skins/Zebra/box.bmp"},
                                {"\\skins\\BLUE\\x", "/skins/BLUE/x"}, {"\\skins\\bLue\\x", "/skins/bLue/x"}})
        EXPECT_EQ(native::NativePath(root + given), root + (kPosix ? posix : given)) << given;
    EXPECT_EQ(Sorted(native::ListSubfolders(root + "\\skins\\")), Sorted(skins));
#ifdef _WIN32  // a name Win32 paths cannot reach as it is: the path drops its trailing dot
    const std::wstring raw = L"\\\\?\\" + fs::absolute(fs::path(root) / "skins").wstring() + L"\\Trail.";
    ASSERT_TRUE(CreateDirectoryW(raw.c_str(), nullptr));
    EXPECT_EQ(Sorted(native::ListSubfolders(root + "\\skins")), Sorted(skins));
    RemoveDirectoryW(raw.c_str());
#endif
    // The program's own folder, with no separator at its end.
    const std::string self = native::ExecutableFolder(), program = kPosix ? "/snickit_tests" : "\\snickit_tests.exe";
    EXPECT_TRUE(fs::is_regular_file(self + program) && !self.ends_with(program[0])) << self;
    // Settings: only a file that may be written may be replaced; folders are
    // made a level at a time, and not under a file.
    dir.Write("locked.sn", "1");
    fs::permissions(dir.root / "locked.sn", fs::perms::owner_read);
    for (auto [name, replaceable] : {std::pair{"\\skins\\readme", true}, {"\\locked.sn", false}, {"\\skins", false},
                                     {"\\none.sn", false}})
        EXPECT_EQ(native::CanReplaceFile(root + name), replaceable) << name;
    fs::permissions(dir.root / "locked.sn", fs::perms::owner_all);
    native::MakeFolders(root + "\\made\\in\\one");
    EXPECT_TRUE(fs::is_directory(dir.root / "made" / "in" / "one"));
    const std::string under = root + "\\locked.sn\\x";  // under a file
    EXPECT_EQ(Outcome(under, [&] { return native::MakeFolders(under), ""; }), kKinds[5]);
}

// Builds a scene from words: "file" (old text, mode 0644), "file:600" (with
// its mode), "file:other" (another user's, mode 0666), "link>target", ".:555"
// (the folder's own mode).
void Arrange(const TempFolder& dir, const std::string& scene) {
    std::istringstream words(scene);
    for (std::string word; words >> word;) {
        const size_t arrow = word.find('>'), colon = word.find(':');
        const fs::path path = dir.root / word.substr(0, std::min(arrow, colon));
        if (arrow != std::string::npos) fs::create_symlink(word.substr(arrow + 1), path);
        else if (word != "." && !word.starts_with(".:")) dir.Write(word.substr(0, colon), kOld);
        const std::string how = colon == std::string::npos ? "644" : word.substr(colon + 1);
        if (arrow == std::string::npos)
            fs::permissions(path, fs::perms(how == "other" ? 0666 : std::stoi(how, 0, 8)));
        if (how == "other") GiveToOther(path);
    }
}

// Every entry under a folder: permissions, protection, then link target or bytes.
std::map<std::string, std::string> Snapshot(const TempFolder& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        const fs::file_status status = fs::symlink_status(entry.path());
        const std::string name = entry.path().lexically_relative(dir.path()).generic_string();
        std::string& what = entries[name] = std::to_string(static_cast<int>(status.permissions())) + " ";
        if (fs::is_symlink(status)) what += "-> " + fs::read_symlink(entry.path()).generic_string();
        if (fs::is_regular_file(status)) what += Protection(entry.path()) + "|" + dir.Read(name);
    }
    return entries;
}

TEST(Files, SettingsAreReplacedWholeOrNotAtAll) {
    // changed: the file that takes the new text; none when the write is
    // refused. removed: what a successful save takes away; held: a file
    // held as a running save holds its own.
    const std::string kLeft = ".config.sn.snickit-save-", kStore = " store/.real.sn.snickit-save-";
    struct { const char *name; Only only; std::string scene; const char* changed; How how = Self;
             std::vector<std::string> removed = {}; std::string held = ""; } rows[] = {
        {"no file before", Both, "", "config.sn"},
        // Root may write anything, yet a file without write bits is left as it
        // is, and so are the leftovers beside it.
        {"read-only file refused", Both, "config.sn:444 " + kLeft + "AbC123", nullptr},
        {"leftovers of killed saves, of exactly a save's naming, but not one running", Both,
         "config.sn " + kLeft + "AbC123 " + kLeft + "zz9999 " + kLeft + "AbC12 " + kLeft + "AbC1234 " + kLeft +
             "AbC-12 " + kLeft + "Held00 " + kLeft + "AbC123.x .other.sn.snickit-save-AbC123 " +
             "config.sn.new config.sn.AbC123",
         "config.sn", Self, {kLeft + "AbC123", kLeft + "zz9999"}, kLeft + "Held00"},
        {"link written through, its target's mode kept, its leftovers beside it but not links", Posix,
         "victim store/real.sn:664 config.sn>store/real.sn " + kLeft + "AbC123" + kStore + "AbC123" + kStore +
             "Link00>../victim", "store/real.sn", Self, {"store/.real.sn.snickit-save-AbC123"}},
        {"folder taking no new file: rewritten in place", Posix, "config.sn:666 .:555", "config.sn", User},
        // One rule on both systems: the file keeps its protection, rewritten
        // in place when a new file cannot take it.
        {"another user's file: rewritten in place", Root, "config.sn:other", "config.sn", User},
        {"full disk keeps the old file", Posix, "config.sn", nullptr, FullDisk},
    };
    for (const auto& row : rows) {
        if (!(row.only == Both || (row.only == Posix && kPosix) || (row.only == Root && kRoot))) continue;
        TempFolder dir;
        Arrange(dir, row.scene);
        std::map<std::string, std::string> expected = Snapshot(dir);
        for (const std::string& gone : row.removed) EXPECT_EQ(expected.erase(gone), 1u) << gone;
        std::shared_ptr<void> held = row.held.empty() ? nullptr : Hold(dir.root / row.held);
        // The file changed keeps its mode and protection; one made new has none of its own to keep.
        if (std::string* entry = row.changed ? &expected[row.changed] : nullptr)
            *entry = (entry->empty() ? std::to_string(static_cast<int>(NewFilePerms())) + " |"
                                     : entry->substr(0, entry->find('|') + 1)) + kNew;
        EXPECT_EQ(Write(dir.root, dir.path() + "\\config.sn", row.how), row.changed ? "ok" : kKinds[5]) << row.name;
        held.reset();
        fs::permissions(dir.root, fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(Snapshot(dir), expected) << row.name;
    }
}

TEST(Files, AFileIsReadToItsEndWithinItsLimit) {
    // One rule for a file whose size changes while it is read: its size as
    // asked, what is really there, the limit; what is taken.
    struct { const char* name; size_t told; std::string there; size_t limit; std::optional<std::string> got; } rows[]{
        {"grew since, within the limit", 1, "RIFF", 4, "RIFF"},
        {"grew past the limit", 2, "RIFFx", 4, std::nullopt},
        {"told more than the limit: not read", 5, "", 4, std::nullopt},
    };
    for (const auto& row : rows) {
        size_t at = 0;
        const auto read = [&](void* buffer, size_t room) -> long long {
            const size_t n = std::min({room, row.there.size() - at, size_t{3}});  // a few bytes at a time
            std::copy_n(row.there.data() + at, n, static_cast<char*>(buffer));
            return at += n, static_cast<long long>(n);
        };
        EXPECT_EQ(native::ReadToEnd<std::string>(read, row.told, row.limit), row.got) << row.name;
        EXPECT_LE(at, row.limit + 1) << row.name;  // never more than a byte past the limit
    }
    EXPECT_EQ((native::ReadToEnd<std::string>([](void*, size_t) { return -1LL; }, 4, 4)), std::nullopt);
    // POSIX: a file whose size reads as 0 yet holds more, as one that grew: both readers take it.
    EXPECT_TRUE(!kPosix || native::ReadTextFile("/proc/self/status").starts_with("Name:"));
    EXPECT_TRUE(!kPosix || native::ReadBinaryFile("/proc/self/status", 1 << 16).value().size() > 16);
}

TEST(Files, EveryOperationGivesItsOutcomeAndClosesWhatItOpens) {
    TempFolder dir;
    const std::string root = dir.path(), big(kMaxTextFileSize, 'x');
    dir.Write("skins/Blue/box.bmp", "BM");
    dir.Write("config.sn", kOld);
    dir.Write("big.sn", big);
    dir.Write("over.sn", big + "\n");
    dir.Write("bom.sn", "\xEF\xBB\xBFK\xC3\xB6ln");
    if (kPosix) MakeFifo(dir.root / "fifo");
    const auto text = [&](const std::string& name) {
        return Outcome(root + name, [&] { return native::ReadTextFile(root + name); });
    };
    // A round of every operation, failures included.
    const auto round = [&] {
        EXPECT_EQ(text("\\BIG.SN"), big);  // as large as a text file may be, named in another case
        EXPECT_EQ(text("\\over.sn"), kKinds[4]);
        EXPECT_EQ(text("\\bom.sn"), "K\xC3\xB6ln");  // UTF-8 after a byte order mark
        EXPECT_EQ(text("\\fifo"), kKinds[kPosix ? 4 : 0]);  // POSIX: a FIFO, read without blocking
        EXPECT_EQ(text("\\gone\\config.sn"), kKinds[1]);
        EXPECT_EQ(text("\\skins"), kKinds[4]);
        EXPECT_EQ(WriteNew(root + "\\config.sn"), "ok");
        EXPECT_EQ(WriteNew(root + "\\skins"), kKinds[5]);
        EXPECT_EQ(WriteNew(root + "\\gone\\config.sn"), kKinds[5]);
        EXPECT_EQ(native::ListSubfolders(root + "\\skins"), std::vector<std::string>{"Blue"});
        // A binary file is read up to its limit, and tells whether it was missing.
        EXPECT_EQ(native::ReadBinaryFile(root + "\\skins\\Blue\\box.bmp", 2), Bytes({'B', 'M'}));
        EXPECT_FALSE(native::ReadBinaryFile(root + "\\skins\\Blue\\box.bmp", 1));
        EXPECT_EQ(native::ReadFileBytes(root + "\\gone", 9).failure, FailureKind::FileNotFound);
        EXPECT_EQ(native::ReadFileBytes(root + "\\skins", 9).failure, FailureKind::CannotRead);  // not a file
    };
    // Whatever the first round sets up once (a locale, a library) is set up
    // then. A save's bytes reach the disk (POSIX) before the file takes the
    // target's name, and that name before the save returns.
    gRecording = true;
    round();
    gRecording = false;
    const std::vector<std::string> calls{"fsync .config.sn.snickit-save- " + std::to_string(kNew.size()),
                                         "rename .config.sn.snickit-save- config.sn",
                                         "fsync " + dir.root.filename().string() + "/"};
    EXPECT_EQ(gCalls, kPosix ? calls : decltype(calls){});
    if (kPosix) {  // a rename the file system refuses fails the save
        gRefuseRename = true;
        EXPECT_EQ(WriteNew(root + "\\config.sn"), kKinds[5]);
        gRefuseRename = false;
    }
    const long before = OpenHandles();
    for (int i = 0; i < 3; ++i) round();
    EXPECT_EQ(OpenHandles(), before);
    // Skin names: the bytes Windows stores (in code page 1252 here) are ANSI
    // where the code page has every character, else UTF-8 after a byte order mark.
    const char* const cyrillic = "\xD0\x9A\xD0\xBE\xD1\x82\\\r\n";
    if (kWestern)
        for (auto [name, windows] : {std::pair<std::string, std::string>{"Gr\xC3\xBCn\\\r\n", "Gr\xFCn\\\r\n"},
                                     {cyrillic, "\xEF\xBB\xBF" + std::string(cyrillic)}}) {
            native::WriteTextFileAtomic(root + "\\names.sn", name);
            EXPECT_EQ(dir.Read("names.sn"), kPosix ? name : windows);
            EXPECT_EQ(native::ReadTextFile(root + "\\names.sn"), name);
        }
}

}  // namespace
}  // namespace snickit::test
