// Owners of the POSIX handles the file services open: each closes its
// handle when it goes out of scope, so that no path through the code (a
// failure thrown included) leaves one open.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <utility>

namespace snickit::posix {

// A file descriptor; -1 holds nothing.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Hands the descriptor over, holding nothing any more.
    int Release() { return std::exchange(fd_, -1); }
    // Closes it now; whether the close succeeded (a write may fail here).
    bool Close() {
        if (fd_ < 0) return true;
        return close(std::exchange(fd_, -1)) == 0;
    }

private:
    int fd_;
};

// An open folder listing (opendir); null holds nothing.
class Folder {
public:
    explicit Folder(DIR* dir) : dir_(dir) {}
    ~Folder() {
        if (dir_) closedir(dir_);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    DIR* get() const { return dir_; }
    bool valid() const { return dir_ != nullptr; }

private:
    DIR* dir_;
};

// A reader for ReadToEnd (platform/NativeFiles.h): read(2) on `fd`, tried
// again when a signal cuts it short.
inline auto ReadFrom(int fd) {
    return [fd](void* buffer, std::size_t room) -> long long {
        for (;;) {
            const ssize_t n = read(fd, buffer, room);
            if (n >= 0 || errno != EINTR) return n;
        }
    };
}

}  // namespace snickit::posix
