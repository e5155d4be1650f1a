// File services on POSIX systems (Linux).
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/NativeFiles.h"

namespace snickit::native {

namespace {

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
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return name;
    std::string match;
    int count = 0;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            match = entry->d_name;
            ++count;
        }
    }
    closedir(dir);
    return count == 1 ? match : name;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool Close() {
        if (fd_ < 0) return true;
        int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

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
    Descriptor fd(open(native.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) throw Failure(MissingKind(programPath), programPath);
        throw Failure(FailureKind::CannotRead, programPath);
    }
    std::string content;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw Failure(FailureKind::CannotRead, programPath);
        if (n == 0) break;
        content.append(buffer, static_cast<size_t>(n));
    }
    return content;
}

void WriteTextFileAtomic(const std::string& programPath, const std::string& content) {
    const std::string target = NativePath(programPath);
    const std::string fresh = target + ".new";
    bool written = false;
    {
        Descriptor fd(open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd.get() >= 0) {
            written = WriteAll(fd.get(), content) && fsync(fd.get()) == 0;
            written = fd.Close() && written;
        }
    }
    if (!written || rename(fresh.c_str(), target.c_str()) != 0) {
        unlink(fresh.c_str());
        throw Failure(FailureKind::CannotWrite, programPath);
    }
    // The rename itself reaches the disk with the folder.
    Descriptor folder(open(ParentOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) fsync(folder.get());
}

std::vector<std::string> ListSubfolders(const std::string& programPath) {
    std::string native = NativePath(programPath);
    DIR* dir = opendir(native.c_str());
    if (dir == nullptr) throw Failure(FailureKind::PathNotFound, programPath);
    if (!native.empty() && native.back() != '/') native += '/';
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue;
        if (IsFolder(native + name)) names.push_back(name);
    }
    closedir(dir);
    return names;
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string path(buffer, static_cast<size_t>(n));
    return ParentOf(path);
}

}  // namespace snickit::native
