#include "platform/win32/Win32Platform.h"

#include <mmsystem.h>
#include <shellapi.h>
#undef PlaySound

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/NativeFiles.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/resource.h"

namespace snickit::win32 {
namespace {

float TwipsPerPixel(int index) {
    HDC screen = GetDC(nullptr);
    int dotsPerInch = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dotsPerInch > 0 ? 1440.0f / static_cast<float>(dotsPerInch) : 15.0f;
}

uint32_t Read32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool IsPlayableWave(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    auto read = [&](void* buffer, DWORD size) {
        DWORD got = 0;
        return ReadFile(file, buffer, size, &got, nullptr) && got == size;
    };
    unsigned char header[12];
    bool format = false, data = false;
    if (read(header, sizeof header) && std::memcmp(header, "RIFF", 4) == 0 &&
        std::memcmp(header + 8, "WAVE", 4) == 0) {
        // Walk the chunks up to the sound data.
        unsigned char chunk[8];
        while (!data && read(chunk, sizeof chunk)) {
            uint32_t size = Read32(chunk + 4);
            if (std::memcmp(chunk, "fmt ", 4) == 0) format = size >= 16;
            if (std::memcmp(chunk, "data", 4) == 0) {
                data = true;
                break;
            }
            LARGE_INTEGER skip;
            skip.QuadPart = static_cast<LONGLONG>(size) + (size & 1);
            if (!SetFilePointerEx(file, skip, nullptr, FILE_CURRENT)) break;
        }
    }
    CloseHandle(file);
    return format && data;
}

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance), window_(instance) {}

float Win32Platform::TwipsPerPixelX() const { return TwipsPerPixel(LOGPIXELSX); }
float Win32Platform::TwipsPerPixelY() const { return TwipsPerPixel(LOGPIXELSY); }

std::string Win32Platform::ProgramFolder() const { return native::ExecutableFolder(); }

std::string Win32Platform::ReadTextFile(const std::string& path) {
    return native::ReadTextFile(path);
}

void Win32Platform::WriteTextFileAtomic(const std::string& path, const std::string& content) {
    native::WriteTextFileAtomic(path, content);
}

std::vector<std::string> Win32Platform::ListSubfolders(const std::string& path) {
    return native::ListSubfolders(path);
}

PictureRef Win32Platform::LoadPicture(const std::string& path) { return LoadPictureFile(path); }

PictureRef Win32Platform::BuiltinAboutPicture() {
    if (!about_) {
        auto bitmap = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_ABOUT),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bitmap) throw Failure(FailureKind::BadPicture, "(built-in about picture)");
        about_ = std::make_shared<Win32Picture>(bitmap);
    }
    return about_;
}

void Win32Platform::PlaySound(const std::string& path) {
    // Unicode paths, so that skin names outside the ANSI code page play.
    // Where sndPlaySound would fall back to the system's default sound, the
    // program's own default sound plays instead.
    std::wstring file = Widen(path);
    if (IsPlayableWave(file)) {
        sndPlaySoundW(file.c_str(), SND_ASYNC | SND_NODEFAULT);
        return;
    }
    HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(IDR_DING), L"WAVE");
    HGLOBAL loaded = found ? LoadResource(instance_, found) : nullptr;
    const void* sound = loaded ? LockResource(loaded) : nullptr;
    if (sound) {
        // Resource memory lives as long as the program, as an asynchronous
        // memory sound needs.
        sndPlaySoundW(static_cast<LPCWSTR>(sound), SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
    } else {
        sndPlaySoundW(nullptr, 0);  // still cut off the sound that plays
    }
}

bool Win32Platform::OpenUrl(const std::string& url) {
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void Win32Platform::ShowFatalError(const std::string& message) {
    window_.StopDelivering();
    ReportFatalError(IsWindowVisible(window_.Handle()) ? window_.Handle() : nullptr, message);
}

void ReportFatalError(HWND owner, const std::string& message) {
    // Automated runs set SNICKIT_NO_MESSAGEBOX=1: nobody is there to click OK.
    wchar_t quiet[8] = L"";
    if (GetEnvironmentVariableW(L"SNICKIT_NO_MESSAGEBOX", quiet, 8) && std::wcscmp(quiet, L"1") == 0) {
        std::fprintf(stderr, "Snickit: %s\n", message.c_str());
        std::fflush(stderr);
        return;
    }
    MessageBoxW(owner, Widen(message).c_str(), L"Snickit", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace snickit::win32
