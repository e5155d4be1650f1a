// snickit-skin-check on Linux: the skin checker over the program's own
// picture loader, SDL's pictures (as Snickit makes them) and POSIX files.
// Opens no window.
#define SDL_MAIN_HANDLED
#include <cstdio>

#include "platform/NativeSkinCheckFiles.h"
#include "platform/sdl/SdlPicture.h"
#include "skin/SkinCheck.h"

namespace {

using snickit::Failure;
using snickit::FailureKind;
namespace native = snickit::native;

class PosixHost final : public native::SkinCheckFiles {
public:
    snickit::PictureRef MakePicture(const snickit::PicturePixels& pixels) override {
        return snickit::sdl::PictureFromPixels(pixels);
    }

    void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) override {
        std::FILE* file = std::fopen(native::NativePath(path).c_str(), "wb");
        bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file) ok = std::fclose(file) == 0 && ok;
        if (!ok) throw Failure(FailureKind::CannotWrite, path);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    PosixHost host;
    std::string out, err;
    const int status = snickit::RunSkinCheck(host, args, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
