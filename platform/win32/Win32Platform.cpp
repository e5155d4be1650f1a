#include "platform/win32/Win32Platform.h"

#include <mmsystem.h>
#include <shellapi.h>
#undef PlaySound

#include <cstdint>
#include <cstring>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/resource.h"

namespace snickit::win32 {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcWork;
        reinterpret_cast<std::vector<PixelRect>*>(areas)->push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    return TRUE;
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance), window_(instance) {}

int Win32Platform::DotsPerInch() const { return WindowDotsPerInch(window_.Handle()); }

std::vector<PixelRect> Win32Platform::UsableAreas() const {
    std::vector<PixelRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

PictureRef Win32Platform::MakePicture(const PicturePixels& pixels) { return PictureFromPixels(pixels); }

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
