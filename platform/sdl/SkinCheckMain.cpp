// snickit-skin-check on Linux: the skin checker over SDL's picture loader
// (the one Snickit uses) and POSIX files. Opens no window.
#define SDL_MAIN_HANDLED
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/NativeFiles.h"
#include "platform/sdl/SdlPicture.h"
#include "skin/SkinCheck.h"

namespace {

using snickit::Failure;
using snickit::FailureKind;
namespace native = snickit::native;

class PosixHost final : public snickit::SkinCheckHost {
public:
    std::string ProgramFolder() const override { return native::ExecutableFolder(); }
    std::vector<std::string> ListSubfolders(const std::string& path) override { return native::ListSubfolders(path); }
    snickit::PictureRef LoadPicture(const std::string& path) override { return snickit::sdl::LoadPictureFile(path); }

    std::vector<unsigned char> ReadFile(const std::string& path, std::size_t limit) override {
        // Non-blocking, so that a pipe planted under a sound's name cannot hang the check.
        const int fd = open(native::NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR) throw Failure(native::MissingKind(path), path);
            throw Failure(FailureKind::CannotRead, path);
        }
        struct stat info {};
        std::vector<unsigned char> bytes;
        bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        if (ok) bytes.resize(std::min(static_cast<std::size_t>(info.st_size), limit + 1));
        for (std::size_t done = 0; ok && done < bytes.size();) {
            const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                bytes.resize(done);  // shorter than it was: read what is there
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        close(fd);
        if (!ok) throw Failure(FailureKind::CannotRead, path);
        return bytes;
    }

    void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) override {
        std::FILE* file = std::fopen(native::NativePath(path).c_str(), "wb");
        bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file) ok = std::fclose(file) == 0 && ok;
        if (!ok) throw Failure(FailureKind::CannotWrite, path);
    }

    std::string DisplayPath(const std::string& path) const override { return native::NativePath(path); }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::replace(arg.begin(), arg.end(), '/', '\\');  // the program's own path form
        args.push_back(arg);
    }
    PosixHost host;
    std::string out, err;
    const int status = snickit::RunSkinCheck(host, args, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
