#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"

namespace snickit::native {

std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& programPath, std::size_t maxBytes,
                                                         bool* missing) {
    if (missing) *missing = false;
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
    const int fd = ::open(NativePath(programPath).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (missing) *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    std::optional<std::vector<unsigned char>> content;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<unsigned long long>(info.st_size) <= maxBytes) {
        // Read to the end, one byte past the limit at most, in case the file
        // grew since fstat.
        std::vector<unsigned char> bytes(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t got = 0;
        for (;;) {
            if (got == bytes.size()) {
                if (bytes.size() > maxBytes) break;
                bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
            }
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            if (n == 0) {
                bytes.resize(got);
                content = std::move(bytes);
                break;
            }
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return content;
}

}  // namespace snickit::native
