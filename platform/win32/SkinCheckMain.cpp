// snickit-skin-check.exe: the skin checker over the program's own picture
// loader, GDI pictures (as Snickit makes them) and Win32 files. A console
// program; opens no window.
#include <windows.h>

#include <cstdio>

#include "platform/NativeSkinCheckFiles.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Text.h"
#include "skin/SkinCheck.h"

namespace {

using snickit::Failure;
using snickit::FailureKind;
using snickit::win32::Widen;
namespace native = snickit::native;

class Win32Host final : public native::SkinCheckFiles {
public:
    snickit::PictureRef MakePicture(const snickit::PicturePixels& pixels) override {
        return snickit::win32::PictureFromPixels(pixels);
    }

    void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) override {
        HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        bool ok = file != INVALID_HANDLE_VALUE &&
                  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
        if (file != INVALID_HANDLE_VALUE) ok = CloseHandle(file) && ok;
        if (!ok) throw Failure(FailureKind::CannotWrite, path);
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(snickit::win32::Narrow(argv[i]));
    SetConsoleOutputCP(CP_UTF8);  // names are UTF-8 inside the program
    Win32Host host;
    std::string out, err;
    const int status = snickit::RunSkinCheck(host, args, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
