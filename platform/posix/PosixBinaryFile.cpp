#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "platform/posix/PosixHandles.h"

namespace snickit::native {

std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& programPath, std::size_t maxBytes,
                                                         bool* missing) {
    if (missing) *missing = false;
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
    const posix::Descriptor fd(::open(NativePath(programPath).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        if (missing) *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return ReadToEnd<std::vector<unsigned char>>(posix::ReadFrom(fd.get()),
                                                 static_cast<std::size_t>(info.st_size), maxBytes);
}

}  // namespace snickit::native
