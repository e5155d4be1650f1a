// File services on POSIX systems (Linux).
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/NativeFiles.h"
#include "platform/posix/PosixHandles.h"

namespace snickit::native {

namespace {

using posix::Descriptor;
using posix::Folder;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The one entry of `folder` equal to `name` but for letter case, if exactly
// one exists.
std::string MatchIgnoringCase(const std::string& folder, const std::string& name) {
    const Folder dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir.valid()) return name;
    std::string match;
    int count = 0;
    while (dirent* entry = readdir(dir.get())) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            match = entry->d_name;
            ++count;
        }
    }
    return count == 1 ? match : name;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Overwrites an existing regular file where it stands: for a file that may
// be written in a folder that takes no new file. Not atomic.
bool RewriteInPlace(const std::string& path, const std::string& content) {
    Descriptor fd(open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info;
    return fd.get() >= 0 && fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) &&
           WriteAll(fd.get(), content) && ftruncate(fd.get(), static_cast<off_t>(content.size())) == 0 &&
           fsync(fd.get()) == 0 && fd.Close();
}

// A save's new file: beside the target, a dot, the target's name, this mark
// and six letters or digits, a name no one gives a file of their own (a
// "config.sn.backup" is never taken for one).
constexpr std::string_view kSaveMark = ".snickit-save-";

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string SavePrefix(const std::string& target) {
    return "." + target.substr(FolderOf(target).size()) + std::string(kSaveMark);
}

bool IsSaveName(std::string_view name, std::string_view prefix) {
    return name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

// Removes the new files that killed saves left beside `target`: regular
// files of exactly a save's naming that no running save holds (a save holds
// its file locked until it has moved it over the target).
void RemoveLeftovers(const std::string& target) {
    const std::string folder = FolderOf(target), prefix = SavePrefix(target);
    const Folder dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir.valid()) return;
    while (dirent* entry = readdir(dir.get())) {
        if (!IsSaveName(entry->d_name, prefix)) continue;
        const std::string path = folder + entry->d_name;
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        int opened = open(path.c_str(), O_RDONLY | flags);
        if (opened < 0) opened = open(path.c_str(), O_WRONLY | flags);
        Descriptor file(opened);
        struct stat held, there;
        if (file.get() >= 0 && fstat(file.get(), &held) == 0 && S_ISREG(held.st_mode) &&
            flock(file.get(), LOCK_EX | LOCK_NB) == 0 && lstat(path.c_str(), &there) == 0 &&
            there.st_ino == held.st_ino && there.st_dev == held.st_dev) {
            unlink(path.c_str());
        }
    }
}

// Makes a save's new file and locks it. Returns -1 (errno set) when the
// folder takes no new file.
int MakeSaveFile(const std::string& target, std::string& fresh) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        fresh = FolderOf(target) + SavePrefix(target) + "XXXXXX";
        Descriptor file(mkostemp(fresh.data(), O_CLOEXEC));
        if (!file.valid()) return -1;
        // A save elsewhere may have taken it for a leftover between its
        // making and the lock: then it is gone, and another is made.
        struct stat made;
        const bool locked = flock(file.get(), LOCK_EX) == 0;
        if (!locked || (fstat(file.get(), &made) == 0 && made.st_nlink > 0)) return file.Release();
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

std::string NativePath(const std::string& programPath) {
    std::string path = programPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string resolved;
    size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        std::string name = path.substr(pos, slash - pos);
        if (!name.empty()) {
            std::string candidate = resolved + name;
            if (!Exists(candidate) && name != "." && name != "..") {
                candidate = resolved + MatchIgnoringCase(resolved, name);
            }
            resolved = candidate;
        }
        if (slash < path.size() && (resolved.empty() || resolved.back() != '/')) resolved += '/';
        pos = slash + 1;
    }
    return resolved;
}

FailureKind MissingKind(const std::string& programPath) {
    std::string native = NativePath(programPath);
    if (!native.empty() && native.back() == '/') native.pop_back();
    return IsFolder(ParentOf(native)) ? FailureKind::FileNotFound : FailureKind::PathNotFound;
}

std::string ReadTextFile(const std::string& programPath) {
    std::string native = NativePath(programPath);
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    Descriptor fd(open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) throw Failure(MissingKind(programPath), programPath);
        throw Failure(FailureKind::CannotRead, programPath);
    }
    struct stat info;
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw Failure(FailureKind::CannotRead, programPath);
    }
    std::optional<std::string> read =
        ReadToEnd<std::string>(posix::ReadFrom(fd.get()), static_cast<size_t>(info.st_size), kMaxTextFileSize);
    if (!read) throw Failure(FailureKind::CannotRead, programPath);
    std::string& content = *read;
    if (content.starts_with(kUtf8Mark)) content.erase(0, kUtf8Mark.size());
    return content;
}

void WriteTextFileAtomic(const std::string& programPath, const std::string& content) {
    const auto fail = [&] { throw Failure(FailureKind::CannotWrite, programPath); };
    // A link is written through: its target is the file that is replaced,
    // in the target's own folder, and the link stays.
    std::string target = NativePath(programPath);
    struct stat old;
    const bool exists = lstat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISLNK(old.st_mode)) {
            char* resolved = realpath(target.c_str(), nullptr);
            if (resolved == nullptr) fail();  // a link to nothing
            target = resolved;
            free(resolved);
            if (stat(target.c_str(), &old) != 0) fail();
        }
        // Read-only is kept: no write permission, or no write bit at all
        // (which stops root as well).
        if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 ||
            faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            fail();
        }
    } else if (errno != ENOENT) {
        fail();
    }

    // A fresh name of our own beside the target; O_EXCL never follows a link
    // planted there, and a leftover of a killed run is never reused.
    std::string fresh;
    Descriptor file(MakeSaveFile(target, fresh));
    if (!file.valid()) {
        // A folder that takes no new files, holding a file we may write.
        if (exists && (errno == EACCES || errno == EPERM) && RewriteInPlace(target, content)) return;
        fail();
    }
    // The lock lasts until the new file has replaced the target.
    Descriptor lock(dup(file.get()));
    const int fd = file.get();
    bool faithful = true;
    if (exists) {
        faithful = fchmod(fd, old.st_mode & 07777) == 0 &&
                   ((old.st_uid == geteuid() && old.st_gid == getegid()) || fchown(fd, old.st_uid, old.st_gid) == 0);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        faithful = fchmod(fd, 0666 & ~mask) == 0;
    }
    bool written = faithful && WriteAll(fd, content) && fsync(fd) == 0;
    written = file.Close() && written;
    if (!written || rename(fresh.c_str(), target.c_str()) != 0) {
        unlink(fresh.c_str());
        // The new file could not take the old one's owner or mode: keep the
        // old file and write into it instead.
        if (!faithful && RewriteInPlace(target, content)) return;
        fail();
    }
    // The rename itself reaches the disk with the folder.
    Descriptor folder(open(ParentOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) fsync(folder.get());
    lock.Close();
    RemoveLeftovers(target);
}

std::vector<std::string> ListSubfolders(const std::string& programPath) {
    std::string native = NativePath(programPath);
    const Folder dir(opendir(native.c_str()));
    if (!dir.valid()) throw Failure(FailureKind::PathNotFound, programPath);
    if (!native.empty() && native.back() != '/') native += '/';
    std::vector<std::string> names;
    // Most file systems count a folder's links as two plus its sub-folders:
    // room for them at once, instead of growing (and touching) the list
    // again and again.
    struct stat info;
    if (fstat(dirfd(dir.get()), &info) == 0 && info.st_nlink > 2) {
        names.reserve(std::min<size_t>(info.st_nlink - 2, size_t{1} << 16));
    }
    while (dirent* entry = readdir(dir.get())) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;
        // The entry's own type spares a stat per entry; links and file
        // systems that give no type are asked.
        const bool folder = entry->d_type == DT_DIR ||
                            ((entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) && IsFolder(native + name));
        if (folder) names.emplace_back(name);
    }
    return names;
}

bool CanReplaceFile(const std::string& programPath) {
    const std::string native = NativePath(programPath);
    struct stat info;
    return stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) != 0 &&
           faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string UserSettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/snickit";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config/snickit";
    return "";
}

void MakeFolders(const std::string& programPath) {
    const std::string native = NativePath(programPath);
    for (size_t at = native.find('/', 1);; at = native.find('/', at + 1)) {
        const std::string part = native.substr(0, at);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) break;
        if (at == std::string::npos) break;
    }
    if (!IsFolder(native)) throw Failure(FailureKind::CannotWrite, programPath);
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string path(buffer, static_cast<size_t>(n));
    return ParentOf(path);
}

}  // namespace snickit::native
