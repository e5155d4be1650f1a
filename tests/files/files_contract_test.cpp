// The native files layer, one contract for every system; rows that only one
// system can set up are marked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
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

#ifndef _WIN32
// The save's calls to fsync and rename, recorded while `gRecording`: these
// stand in for the C library's (the executable's own come first) and hand
// every call on to it.
namespace {
bool gRecording = false;
std::vector<std::string> gCalls;
std::string FdPath(int fd) {
    return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd)).string();
}
template <class Function> Function* Real(const char* name) { return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name)); }
}  // namespace
extern "C" int fsync(int fd) {
    if (gRecording) {
        struct stat info;
        const bool file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        gCalls.push_back("fsync " + FdPath(fd) + (file ? " " + std::to_string(info.st_size) : ""));
    }
    static auto* const real = Real<int(int)>("fsync");
    return real(fd);
}
extern "C" int rename(const char* from, const char* to) noexcept {
    if (gRecording) gCalls.push_back(std::string("rename ") + from + " " + to);
    static auto* const real = Real<int(const char*, const char*)>("rename");
    return real(from, to);
}
#endif

namespace snickit::test {
namespace {

namespace fs = std::filesystem;
// Root: POSIX run as root (which may give a file to another user).
enum Only { Both, Posix, Root };
const std::string kOld = " 3000 \r\n 1500 \r\nBlue\\\r\n", kNew = " 450 \r\n-600 \r\nred\\\r\n";
const char* const kKinds[] = {"<FileNotFound>", "<PathNotFound>", "<InputPastEnd>", "<BadPicture>",
                              "<CannotRead>",   "<CannotWrite>",  "<CannotStart>", "<BadSettings>"};

void Put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

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
constexpr bool kPosix = false;
const bool kWestern = GetACP() == 1252;
void MakeHidden(const fs::path& folder) { SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN); }
void MakeFifo(const fs::path&) {}
fs::perms NewFilePerms() { return fs::perms(0666); }
std::string Write(const fs::path&, const std::string& path, bool) { return WriteNew(path); }
// Wine keeps no access lists of files (it reports one made from the Unix
// mode): nothing to compare there.
std::string Protection(const fs::path&) { return ""; }
void GiveToOther(const fs::path&) {}
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
// Which file is at a path (another after a replacement, the same after a
// rewrite), read with no access to it, so that nothing is shared.
unsigned long long FileIdentity(const fs::path& file) {
    const HANDLE handle = CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(GetFileInformationByHandle(handle, &info));
    CloseHandle(handle);
    return (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}
#else
constexpr bool kPosix = true, kWestern = true;
void MakeHidden(const fs::path& folder) { fs::rename(folder, folder.parent_path() / ("." + folder.filename().string())); }
void MakeFifo(const fs::path& file) { ASSERT_EQ(mkfifo(file.c_str(), 0644), 0); }
fs::perms NewFilePerms() { const mode_t mask = umask(0); return umask(mask), fs::perms(0666 & ~mask); }
// Another user's, one that is neither the writing child nor root.
const uid_t kOther = 65533;
std::string Protection(const fs::path& file) {
    struct stat info;
    return lstat(file.c_str(), &info) == 0 && info.st_uid == kOther ? "another user's" : "";
}
void GiveToOther(const fs::path& file) { EXPECT_EQ(lchown(file.c_str(), kOther, kOther), 0); }
// File descriptors this process holds.
long OpenHandles() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}
// Which file is at a path (another after a replacement, the same after a
// rewrite).
unsigned long long FileIdentity(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(stat(file.c_str(), &info), 0);
    return info.st_ino;
}
// Writes in a child: as an ordinary user (root passes every permission
// check), and with a file size limit that stands for a full disk.
std::string Write(const fs::path& root, const std::string& path, bool fullDisk) {
    const uid_t nobody = 65534;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        EXPECT_FALSE(geteuid() == 0 && Protection(entry.path()).empty() && lchown(entry.path().c_str(), nobody, nobody));
    EXPECT_FALSE(geteuid() == 0 && chown(root.c_str(), nobody, nobody));
    if (fork() == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) || setgid(nobody) || setuid(nobody))) _exit(100);
        rlimit limit{5, 5};
        if (fullDisk && (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit))) _exit(100);
        const std::string outcome = WriteNew(path);
        _exit(outcome == "ok" ? 0 : outcome == kKinds[5] ? 1 : 2);
    }
    int status = -1;
    waitpid(-1, &status, 0);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return code == 0 ? "ok" : code == 1 ? kKinds[5] : "child status " + std::to_string(code);
}
#endif
bool Runs(Only only) {
#ifndef _WIN32
    if (only == Root) return geteuid() == 0;
#endif
    return only == Both || (only == Posix && kPosix);
}

TEST(Files, ProgramPathsFolderKindsAndSkinFolders) {
    TempFolder dir;
    const std::string root = dir.path();
    for (const char* file : {"skins/Blue/box.bmp", "skins/Zebra/box.bmp", "skins/git/box.bmp", "skins/readme"})
        dir.Write(file, "BM");
    fs::create_directories(fs::path(root) / "skins" / u8"\u65E5\u672C-\u03A9");  // Japanese and Greek
    MakeHidden(fs::path(root) / "skins" / "git");
    // Program form, and what it becomes on POSIX (Windows takes it as it is).
    for (auto [given, posix] : {std::pair{"\\skins\\Blue\\box.bmp", "/skins/Blue/box.bmp"}, {"\\skins\\", "/skins/"},
                                {"\\SKINS\\blue\\BOX.BMP", "/skins/Blue/box.bmp"}, {"\\skins\\Gone\\box.bmp", "/skins/Gone/box.bmp"}})
        EXPECT_EQ(native::NativePath(root + given), root + (kPosix ? posix : given)) << given;
    EXPECT_EQ(native::ReadTextFile(root + "\\Skins\\BLUE\\Box.bmp"), "BM");
    EXPECT_EQ(native::MissingKind(root + "\\skins\\Blue\\1.wav"), FailureKind::FileNotFound);
    EXPECT_EQ(native::MissingKind(root + "\\skins\\Gone\\1.wav"), FailureKind::PathNotFound);
    const std::vector<std::string> skins{"Blue", "Zebra", "\xE6\x97\xA5\xE6\x9C\xAC-\xCE\xA9"};
    EXPECT_EQ(native::ListSubfolders(root + "\\skins\\"), skins);
    EXPECT_EQ(native::ListSubfolders(root + "\\skins"), skins);
    EXPECT_EQ(native::ListSubfolders(root + "\\skins\\Zebra\\"), std::vector<std::string>{});
    EXPECT_EQ(Outcome(root + "\\no\\", [&] { return native::ListSubfolders(root + "\\no\\").at(0); }), kKinds[1]);
#ifdef _WIN32
    {  // a name Win32 paths cannot reach as it is: the path drops its trailing dot
        const std::wstring raw = L"\\\\?\\" + fs::absolute(fs::path(root) / "skins").wstring() + L"\\Trail.";
        ASSERT_TRUE(CreateDirectoryW(raw.c_str(), nullptr));
        EXPECT_EQ(native::ListSubfolders(root + "\\skins"), skins);
        RemoveDirectoryW(raw.c_str());
    }
#endif
    if (kPosix) {  // two entries equal but for case: only the exact one is taken; a link to a folder is a folder
        dir.Write("skins/BLUE/box.bmp", "other");
        fs::create_directory_symlink("Zebra", fs::path(root) / "skins" / "Linked");
        // Any byte but a slash is a name's, as it is.
        fs::create_directory(fs::path(root) / "skins" / "a\\b\r\xE9:?");
        const std::vector<std::string> now = native::ListSubfolders(root + "\\skins");
        EXPECT_EQ(std::set<std::string>(now.begin(), now.end()),
                  std::set<std::string>({"BLUE", "Blue", "Linked", "Zebra", "a\\b\r\xE9:?", skins[2]}));
        EXPECT_EQ(native::ReadTextFile(root + "\\skins\\BLUE\\box.bmp"), "other");
        EXPECT_EQ(native::MissingKind(root + "\\skins\\bLue\\box.bmp"), FailureKind::PathNotFound);
    }
    const fs::path self = native::ExecutableFolder();
    EXPECT_TRUE(fs::exists(self / "snickit_tests") || fs::exists(self / "snickit_tests.exe")) << self;
}

TEST(Files, ReadsOnlySmallRegularFiles) {
    const std::string big(64 * 1024, 'x');
    // What makes config.sn, the text read (or the failure), the file read.
    struct { const char* name; Only only; std::function<void(const fs::path&)> arrange; std::string expected;
             const char* file = "config.sn"; } rows[] = {
        {"regular file", Both, [&](auto f) { Put(f, kOld); }, kOld},
        {"64 KB", Both, [&](auto f) { Put(f, big); }, big},
        {"over 64 KB", Both, [&](auto f) { Put(f, big + "\n"); }, "<CannotRead>"},
        {"missing file", Both, [](auto) {}, "<FileNotFound>"},
        {"missing folder", Both, [](auto) {}, "<PathNotFound>", "gone\\config.sn"},
        {"a folder", Both, [](auto f) { fs::create_directory(f); }, "<CannotRead>"},
        {"UTF-8 after a byte order mark", Both, [](auto f) { Put(f, "\xEF\xBB\xBFK\xC3\xB6ln"); }, "K\xC3\xB6ln"},
        {"UTF-8 without a mark (POSIX)", Posix, [](auto f) { Put(f, "K\xC3\xB6ln"); }, "K\xC3\xB6ln"},
        {"FIFO, without blocking", Posix, [](auto f) { MakeFifo(f); }, "<CannotRead>"},
        {"link to /dev/zero", Posix, [](auto f) { fs::create_symlink("/dev/zero", f); }, "<CannotRead>"},
    };
    for (const auto& row : rows) {
        if (!Runs(row.only)) continue;
        TempFolder dir;
        row.arrange(fs::path(dir.path()) / "config.sn");
        const std::string path = dir.path() + "\\" + row.file;
        EXPECT_EQ(Outcome(path, [&] { return native::ReadTextFile(path); }), row.expected) << row.name;
    }
}

// Builds a scene from words: "file" (old text, mode 0644), "file:600" (with
// its mode), "file:other" (another user's, mode 0666), "link>target", ".:555"
// (the folder's own mode).
void Arrange(const fs::path& root, const std::string& scene) {
    std::istringstream words(scene);
    for (std::string word; words >> word;) {
        const size_t arrow = word.find('>'), colon = word.find(':');
        const fs::path path = root / word.substr(0, std::min(arrow, colon));
        if (arrow != std::string::npos) fs::create_symlink(word.substr(arrow + 1), path);
        else if (word != "." && !word.starts_with(".:")) Put(path, kOld);
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

// Holds a file open as a running save holds its new file.
struct Held {
#ifdef _WIN32
    explicit Held(const fs::path& file)
        : handle(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr)) {
        EXPECT_NE(handle, INVALID_HANDLE_VALUE);
    }
    ~Held() { CloseHandle(handle); }
    HANDLE handle;
#else
    explicit Held(const fs::path& file) : fd(open(file.c_str(), O_RDWR)) { EXPECT_EQ(flock(fd, LOCK_EX), 0); }
    ~Held() { close(fd); }
    int fd;
#endif
};

TEST(Files, SettingsAreReplacedWholeOrNotAtAll) {
    // changed: the file that takes the new text; none when the write is
    // refused. removed: what a successful save takes away; held: a file
    // held as a running save holds its own.
    const std::string kLeft = ".config.sn.snickit-save-";
    struct { const char *name; Only only; std::string scene; const char *changed, *file = "config.sn"; bool fullDisk = false;
             std::vector<std::string> removed = {}; std::string held = ""; } rows[] = {
        {"no file before", Both, "", "config.sn"},
        {"plain file", Both, "config.sn", "config.sn"},
        {"mode 0600 kept", Posix, "config.sn:600", "config.sn"},
        {"mode 0664 kept", Posix, "config.sn:664", "config.sn"},
        {"read-only file refused", Both, "config.sn:444", nullptr},
        {"link written through", Posix, "store/real.sn config.sn>store/real.sn", "store/real.sn"},
        {"link planted at the old temporary name", Posix, "config.sn victim config.sn.new>victim", "config.sn"},
        {"files of other names beside it", Both, "config.sn config.sn.new config.sn.AbC123 config.sn.backup", "config.sn"},
        {"leftovers of killed saves, of exactly a save's naming", Both,
         "config.sn " + kLeft + "AbC123 " + kLeft + "zz9999 " + kLeft + "AbC12 " + kLeft + "AbC1234 " + kLeft + "AbC-12 " +
             ".other.sn.snickit-save-AbC123 .config.sn.snickit-save-AbC123.x", "config.sn", "config.sn", false,
         {kLeft + "AbC123", kLeft + "zz9999"}},
        {"a running save's file", Both, "config.sn " + kLeft + "Held00", "config.sn", "config.sn", false, {}, kLeft + "Held00"},
        {"no leftover removed by a refused save", Both, "config.sn:444 " + kLeft + "AbC123", nullptr},
        {"a link of a save's naming", Posix, "config.sn victim " + kLeft + "Link00>victim", "config.sn"},
        {"leftovers named after a link's target, beside it", Posix,
         "store/real.sn store/.real.sn.snickit-save-AbC123 config.sn>store/real.sn " + kLeft + "AbC123", "store/real.sn",
         "config.sn", false, {"store/.real.sn.snickit-save-AbC123"}},
        {"folder that takes no new file: rewritten in place", Posix, "config.sn:666 .:555", "config.sn"},
        // One rule on both systems: the file keeps its protection, rewritten
        // in place when a new file cannot take it.
        {"another user's file: rewritten in place, still theirs", Root, "config.sn:other", "config.sn"},
        {"full disk keeps the old file", Posix, "config.sn", nullptr, "config.sn", true},
        {"a folder in the way", Both, "config.sn/keep", nullptr},
        {"missing folder", Both, "", nullptr, "gone\\config.sn"},
    };
    for (const auto& row : rows) {
        if (!Runs(row.only)) continue;
        TempFolder dir;
        const fs::path root = dir.path();
        Arrange(root, row.scene);
        std::map<std::string, std::string> expected = Snapshot(dir);
        for (const std::string& gone : row.removed) EXPECT_EQ(expected.erase(gone), 1u) << gone;
        std::optional<Held> held;
        if (!row.held.empty()) held.emplace(root / row.held);
        const bool made = row.changed && !expected.contains(row.changed);
        if (row.changed) {
            std::string& entry = expected[row.changed];
            entry = made ? std::to_string(static_cast<int>(NewFilePerms())) + " " : entry.substr(0, entry.find('|') + 1);
            entry += kNew;
        }
        EXPECT_EQ(Write(root, dir.path() + "\\" + row.file, row.fullDisk), row.changed ? "ok" : kKinds[5]) << row.name;
        // A file made new has no protection of its own to keep: the folder's.
        if (made) expected[row.changed].insert(expected[row.changed].find(' ') + 1, Protection(root / row.changed) + "|");
        held.reset();
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(Snapshot(dir), expected) << row.name;
    }
    {  // replaced whole, by a new file, not rewritten where it stands
        TempFolder dir;
        dir.Write("config.sn", kOld);
        const unsigned long long old = FileIdentity(fs::path(dir.path()) / "config.sn");
        EXPECT_EQ(WriteNew(dir.path() + "\\config.sn"), "ok");
        EXPECT_NE(FileIdentity(fs::path(dir.path()) / "config.sn"), old);
        EXPECT_EQ(dir.Read("config.sn"), kNew);
    }
    if (kPosix) {  // root may write anything, yet a file without write bits is left as it is
        TempFolder dir;
        Arrange(dir.path(), "config.sn:444");
        EXPECT_EQ(WriteNew(dir.path() + "\\config.sn"), kKinds[5]);
        EXPECT_EQ(dir.Read("config.sn"), kOld);
    }
}

TEST(Files, AFileIsReadToItsEndWithinItsLimit) {
    // One rule for a file whose size changes while it is read: its size as
    // asked, what is really there, the limit; what is taken.
    struct { const char* name; size_t told; std::string there; size_t limit; std::optional<std::string> taken; } rows[] = {
        {"as told", 4, "RIFF", 4, "RIFF"},
        {"empty", 0, "", 4, ""},
        {"grew since, within the limit", 1, "RIFF", 4, "RIFF"},
        {"grew from nothing, within the limit", 0, "RIFF", 9, "RIFF"},
        {"grew past the limit", 2, "RIFFx", 4, std::nullopt},
        {"shrank since", 4, "RI", 4, "RI"},
        {"told more than the limit: not read", 5, "", 4, std::nullopt},
    };
    for (const auto& row : rows) {
        size_t at = 0;
        const auto read = [&](void* buffer, size_t room) -> long long {
            const size_t n = std::min({room, row.there.size() - at, size_t{3}});  // a few bytes at a time
            std::copy_n(row.there.data() + at, n, static_cast<char*>(buffer));
            at += n;
            return static_cast<long long>(n);
        };
        EXPECT_EQ(native::ReadToEnd<std::string>(read, row.told, row.limit), row.taken) << row.name;
        EXPECT_LE(at, row.limit + 1) << row.name;  // never more than a byte past the limit
    }
    EXPECT_EQ((native::ReadToEnd<std::string>([](void*, size_t) { return -1LL; }, 4, 4)), std::nullopt);
    if (kPosix) {  // a file whose size reads as 0 yet holds more, as one that grew: both readers take it
        const std::optional<std::vector<unsigned char>> status = native::ReadBinaryFile("/proc/self/status", 1 << 16);
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(std::string(status->begin(), status->begin() + 5), "Name:");
        EXPECT_EQ(native::ReadBinaryFile("/proc/self/status", 16), std::nullopt);
        EXPECT_TRUE(native::ReadTextFile("/proc/self/status").starts_with("Name:"));
    }
}

TEST(Files, EveryOperationClosesWhatItOpens) {
    TempFolder dir;
    const std::string root = dir.path();
    dir.Write("skins/Blue/box.bmp", "BM");
    dir.Write("config.sn", kOld);
    // A round of every operation, failures included.
    const auto round = [&] {
        (void)native::ReadTextFile(root + "\\CONFIG.SN");
        EXPECT_EQ(Outcome(root + "\\gone", [&] { return native::ReadTextFile(root + "\\gone"); }), kKinds[0]);
        EXPECT_EQ(Outcome(root + "\\skins", [&] { return native::ReadTextFile(root + "\\skins"); }), kKinds[4]);
        EXPECT_EQ(WriteNew(root + "\\config.sn"), "ok");
        EXPECT_EQ(WriteNew(root + "\\skins"), kKinds[5]);
        EXPECT_EQ(native::ListSubfolders(root + "\\skins"), std::vector<std::string>{"Blue"});
        EXPECT_EQ(Outcome(root + "\\no", [&] { return native::ListSubfolders(root + "\\no").at(0); }), kKinds[1]);
        EXPECT_TRUE(native::ReadBinaryFile(root + "\\skins\\Blue\\box.bmp", 2));
        EXPECT_FALSE(native::ReadBinaryFile(root + "\\skins\\Blue\\box.bmp", 1));
        EXPECT_FALSE(native::ReadBinaryFile(root + "\\skins", 9));
        EXPECT_TRUE(native::CanReplaceFile(root + "\\config.sn"));
        EXPECT_EQ(native::MissingKind(root + "\\SKINS\\x"), FailureKind::FileNotFound);
    };
    round();  // whatever the first round sets up once (a locale, a library) is set up now
    const long before = OpenHandles();
    for (int i = 0; i < 3; ++i) round();
    EXPECT_EQ(OpenHandles(), before);
}

TEST(Files, BinaryFilesUpToTheirLimit) {
    TempFolder dir;
    dir.Write("1.wav", "RIFF");
    const std::string path = dir.path() + "\\1.wav";
    bool missing = true;
    EXPECT_EQ(native::ReadBinaryFile(path, 4, &missing), std::optional(std::vector<unsigned char>{'R', 'I', 'F', 'F'}));
    EXPECT_FALSE(missing);
    EXPECT_EQ(native::ReadBinaryFile(path, 3, &missing), std::nullopt);
    EXPECT_EQ(native::ReadBinaryFile(path + "x", 4, &missing), std::nullopt);
    EXPECT_TRUE(missing);
}

TEST(Files, SkinNamesSurviveTheSettingsFile) {
    if (!kWestern) GTEST_SKIP() << "the Windows bytes below are those of code page 1252";
    TempFolder dir;
    const std::string path = dir.path() + "\\config.sn";
    // Text, and the bytes Windows stores: ANSI where the code page has every
    // character, else UTF-8 after a byte order mark.
    for (auto [text, windows] : {std::pair{"Gr\xC3\xBCn\\\r\n", "Gr\xFCn\\\r\n"},
                                 {"\xD0\x9A\xD0\xBE\xD1\x82\\\r\n", "\xEF\xBB\xBF\xD0\x9A\xD0\xBE\xD1\x82\\\r\n"}}) {
        native::WriteTextFileAtomic(path, text);
        EXPECT_EQ(dir.Read("config.sn"), kPosix ? text : windows);
        EXPECT_EQ(native::ReadTextFile(path), text);
    }
}

#ifndef _WIN32
TEST(Files, ASaveReachesTheDiskInOrder) {
    // The new file's bytes are on disk before it takes the target's name,
    // and that name is on disk before the save returns.
    TempFolder dir;
    dir.Write("config.sn", kOld);
    const std::string folder = fs::canonical(dir.path()).string();
    gCalls.clear();
    gRecording = true;
    const std::string outcome = WriteNew(dir.path() + "\\config.sn");
    gRecording = false;
    for (std::string& call : gCalls) {  // the save's file in general terms
        for (const std::string& name : {folder, dir.path()})
            for (size_t at; (at = call.find(name)) != std::string::npos;) call.replace(at, name.size(), "<folder>");
        for (size_t at = 0; (at = call.find(".snickit-save-", at)) != std::string::npos; at += 20) call.replace(at + 14, 6, "XXXXXX");
    }
    EXPECT_EQ(outcome, "ok");
    EXPECT_EQ(gCalls, (std::vector<std::string>{
                          "fsync <folder>/.config.sn.snickit-save-XXXXXX " + std::to_string(kNew.size()),
                          "rename <folder>/.config.sn.snickit-save-XXXXXX <folder>/config.sn",
                          "fsync <folder>",
                      }));
}
#endif

}  // namespace
}  // namespace snickit::test
