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

bool Win32Platform::CanReplaceFile(const std::string& path) { return native::CanReplaceFile(path); }

std::string Win32Platform::UserSettingsFolder() const { return native::UserSettingsFolder(); }

void Win32Platform::MakeFolders(const std::string& path) { native::MakeFolders(path); }

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

void Win32Platform::SortNames(std::vector<std::string>& names) const { native::SortNames(names); }

std::optional<std::vector<unsigned char>> Win32Platform::ReadBinaryFile(const std::string& path,
                                                                        std::size_t maxBytes) {
    return native::ReadBinaryFile(path, maxBytes);
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
