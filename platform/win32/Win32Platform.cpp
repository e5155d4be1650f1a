#include "platform/win32/Win32Platform.h"

#include <mmsystem.h>
#include <shellapi.h>
#undef PlaySound

#include <cstdint>
#include <cstring>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "platform/NativeNames.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/resource.h"
#include "skin/BitmapCheck.h"

namespace snickit::win32 {
namespace {

float TwipsPerPixel(int index) {
    HDC screen = GetDC(nullptr);
    int dotsPerInch = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dotsPerInch > 0 ? 1440.0f / static_cast<float>(dotsPerInch) : 15.0f;
}

// A bitmap made from a checked BMP file's own bytes: a 32-bit DIB section
// of its size, into which GDI converts the file's pixels (any depth, palette,
// bit fields or RLE, either way up).
HBITMAP BitmapFromFile(const std::vector<unsigned char>& file, const BitmapVerdict& verdict) {
    const std::size_t pixelOffset = file[10] | (file[11] << 8) | (file[12] << 16) | (std::size_t{file[13]} << 24);
    // Copies in aligned memory: the headers as BITMAPINFO, and the pixels.
    std::vector<uint32_t> info((pixelOffset - 14 + 3) / 4);
    std::memcpy(info.data(), file.data() + 14, pixelOffset - 14);
    std::vector<uint32_t> pixels((file.size() - pixelOffset + 3) / 4);
    std::memcpy(pixels.data(), file.data() + pixelOffset, file.size() - pixelOffset);

    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = verdict.width;
    target.bmiHeader.biHeight = verdict.height;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    const int lines = SetDIBits(dc, bitmap, 0, static_cast<UINT>(verdict.height), pixels.data(),
                                reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    DeleteDC(dc);
    if (lines <= 0) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

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

int Win32Platform::CompareNames(const std::string& a, const std::string& b) const {
    return native::CompareNames(a, b);
}

std::optional<std::vector<unsigned char>> Win32Platform::ReadBinaryFile(const std::string& path,
                                                                        std::size_t maxBytes) {
    return native::ReadBinaryFile(path, maxBytes);
}

// The file is read once and checked, and the bitmap is made from those
// bytes. (LoadImageW reads the file itself and believes its header: a file
// cut short crashes it.)
PictureRef Win32Platform::LoadPicture(const std::string& path) {
    bool missing = false;
    std::optional<std::vector<unsigned char>> file = native::ReadBinaryFile(path, kMaxBitmapFileBytes, &missing);
    if (!file && missing) throw Failure(native::MissingKind(path), path);
    const BitmapVerdict verdict = file ? CheckBitmap(*file) : BitmapVerdict{};
    HBITMAP bitmap = verdict.ok ? BitmapFromFile(*file, verdict) : nullptr;
    if (!bitmap) throw Failure(FailureKind::BadPicture, path);
    return std::make_shared<Win32Picture>(bitmap);
}


PictureRef Win32Platform::BuiltinAboutPicture() {
    if (!about_) {
        auto bitmap = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_ABOUT),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bitmap) throw Failure(FailureKind::BadPicture, "(built-in about picture)");
        about_ = std::make_shared<Win32Picture>(bitmap);
    }
    return about_;
}

// A new sound stops the one playing before sndPlaySound returns: the bytes
// of the sound played before may go then.
void Win32Platform::PlayWave(std::shared_ptr<const std::vector<unsigned char>> wave) {
    if (!sndPlaySoundW(reinterpret_cast<LPCWSTR>(wave->data()), SND_MEMORY | SND_ASYNC | SND_NODEFAULT)) {
        PlayDefaultSound();
        return;
    }
    playing_ = std::move(wave);
}

// The program's own default sound, never the system's.
void Win32Platform::PlayDefaultSound() {
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
    playing_.reset();
}

bool Win32Platform::OpenUrl(const std::string& url) {
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void Win32Platform::ShowFatalError(const std::string& message, bool messageBox) {
    // The message box runs a message loop of its own: no handler may run
    // inside it.
    window_.StopDelivering();
    if (!messageBox) return;
    HWND owner = IsWindowVisible(window_.Handle()) ? window_.Handle() : nullptr;
    MessageBoxW(owner, Widen(message).c_str(), L"Snickit", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace snickit::win32
