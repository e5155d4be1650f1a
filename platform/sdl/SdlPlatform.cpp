#include "platform/sdl/SdlPlatform.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/NativeFiles.h"
#include "platform/sdl/Resources.h"
#include "platform/sdl/SdlPicture.h"
#include "platform/sdl/SdlWindow.h"
#include "platform/sdl/SoundPlayer.h"

namespace snickit::sdl {

namespace {

SDL_RWops* FromBlob(const embedded::Blob& blob) {
    return SDL_RWFromConstMem(blob.data, static_cast<int>(blob.size));
}

}  // namespace

std::shared_ptr<const SdlPicture> LoadBmp(SDL_RWops* source) {
    if (!source) return nullptr;
    SDL_Surface* loaded = SDL_LoadBMP_RW(source, 1);
    if (!loaded) return nullptr;
    // Copy the pixels as they are, whatever alpha a 32-bit file carries.
    SDL_SetSurfaceBlendMode(loaded, SDL_BLENDMODE_NONE);
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    if (!converted) return nullptr;
    SDL_SetSurfaceBlendMode(converted, SDL_BLENDMODE_NONE);
    return std::make_shared<const SdlPicture>(converted);
}

SdlPlatform::SdlPlatform() {
    SDL_SetHint(SDL_HINT_APP_NAME, "Snickit");
    // The first click on a window without the focus acts like any other.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Paint through the window system's own image transfer, not through an
    // OpenGL texture: no GL context for a 240 x 95 picture, and SDL then
    // keeps the window it created (with GL it recreates it at first paint,
    // forgetting the position set while hidden).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Video (with events) only: with joysticks or sensors initialised SDL
    // polls inside SDL_WaitEvent. Audio comes with the sound player.
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        throw std::runtime_error(std::string("cannot open the display: ") + SDL_GetError());
    }
    sound_ = std::make_unique<SoundPlayer>();
    window_ = std::make_unique<SdlWindow>(*sound_);

    if (SDL_Surface* icon = SDL_LoadBMP_RW(FromBlob(embedded::WindowIcon), 1)) {
        // Magenta marks the icon's transparent pixels.
        SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 255, 0, 255));
        window_->SetIcon(icon);
        SDL_FreeSurface(icon);
    }
}

SdlPlatform::~SdlPlatform() {
    window_.reset();
    sound_.reset();
    about_.reset();
    SDL_Quit();
}

Window& SdlPlatform::MainWindow() { return *window_; }

std::string SdlPlatform::ProgramFolder() const { return native::ExecutableFolder(); }

std::string SdlPlatform::ReadTextFile(const std::string& path) { return native::ReadTextFile(path); }

void SdlPlatform::WriteTextFileAtomic(const std::string& path, const std::string& content) {
    native::WriteTextFileAtomic(path, content);
}

std::vector<std::string> SdlPlatform::ListSubfolders(const std::string& path) {
    return native::ListSubfolders(path);
}

PictureRef SdlPlatform::LoadPicture(const std::string& path) {
    const std::string file = native::NativePath(path);
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) throw Failure(native::MissingKind(path), path);
    auto picture = LoadBmp(SDL_RWFromFile(file.c_str(), "rb"));
    if (!picture) throw Failure(FailureKind::BadPicture, path);
    return picture;
}

PictureRef SdlPlatform::BuiltinAboutPicture() {
    if (!about_) {
        about_ = LoadBmp(FromBlob(embedded::AboutPicture));
        if (!about_) throw Failure(FailureKind::BadPicture, "(built-in about picture)");
    }
    return about_;
}

void SdlPlatform::PlaySound(const std::string& path) { sound_->Play(native::NativePath(path)); }

bool SdlPlatform::OpenUrl(const std::string& url) { return OpenWithDesktop(url); }

std::string SdlPlatform::DisplayPath(const std::string& programPath) const {
    return native::NativePath(programPath);
}

void SdlPlatform::ShowFatalError(const std::string& message) {
    window_->Present();  // let the user see what the program had shown
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    const char* quiet = std::getenv("SNICKIT_NO_MESSAGEBOX");
    if (quiet && std::strcmp(quiet, "1") == 0) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Snickit", message.c_str(),
                             window_->IsShown() ? window_->Handle() : nullptr);
}

}  // namespace snickit::sdl
