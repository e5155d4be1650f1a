#include "platform/sdl/SdlPlatform.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/NativeFiles.h"
#include "platform/sdl/DesktopDensity.h"
#include "platform/sdl/Resources.h"
#include "platform/sdl/SdlPicture.h"
#include "platform/sdl/SdlWindow.h"
#include "platform/sdl/SoundPlayer.h"
#include "platform/sdl/WindowPlace.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace snickit::sdl {

namespace {

// How long a click on the web link waits to hear that no opener could start.
constexpr auto kOpenerCheck = std::chrono::milliseconds(100);

SDL_RWops* FromBlob(const embedded::Blob& blob) {
    return SDL_RWFromConstMem(blob.data, static_cast<int>(blob.size));
}

}  // namespace

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
    TolerateLateWakeUps();
#if defined(__GLIBC__)
    // A picture's file (up to 16 MiB) is let go as soon as its part is
    // decoded. glibc would raise its mapping threshold after the first one
    // and keep the next ones on the heap, held while the program idles: a
    // fixed threshold gives every large block back at once.
    mallopt(M_MMAP_THRESHOLD, 256 << 10);
#endif
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
    // The audio thread is stopped first: it queues events, and SDL may send
    // the window a wake-up for each (see TolerateLateWakeUps).
    sound_.reset();
    window_.reset();
    about_.reset();
    SDL_Quit();
}

Window& SdlPlatform::MainWindow() { return *window_; }

int SdlPlatform::DotsPerInch() const { return DesktopDotsPerInch(); }

std::vector<PixelRect> SdlPlatform::UsableAreas() const {
    std::vector<PixelRect> areas;
    for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayUsableBounds(i, &r) == 0 && r.w > 0 && r.h > 0) areas.push_back({r.x, r.y, r.w, r.h});
    }
    return areas;
}

PictureRef SdlPlatform::MakePicture(const PicturePixels& pixels) { return PictureFromPixels(pixels); }

PictureRef SdlPlatform::BuiltinAboutPicture() {
    if (!about_) {
        about_ = LoadBmp(FromBlob(embedded::AboutPicture));
        if (!about_) throw Failure(FailureKind::BadPicture, "(built-in about picture)");
    }
    return about_;
}

void SdlPlatform::PlayWave(std::shared_ptr<const std::vector<unsigned char>> wave) { sound_->Play(std::move(wave)); }

void SdlPlatform::PlayDefaultSound() { sound_->Play(nullptr); }

bool SdlPlatform::OpenUrl(const std::string& url) {
    // SDL_OpenURL returns only when the desktop's opener has ended, which
    // can be when the browser ends: it runs on a thread of its own, and the
    // window waits just long enough to hear of an opener that cannot start.
    auto opened = std::make_shared<std::promise<bool>>();
    std::future<bool> result = opened->get_future();
    std::thread([url, opened] { opened->set_value(SDL_OpenURL(url.c_str()) == 0); }).detach();
    return result.wait_for(kOpenerCheck) != std::future_status::ready || result.get();
}

std::string SdlPlatform::DisplayPath(const std::string& programPath) const {
    return native::NativePath(programPath);
}

void SdlPlatform::ShowFatalError(const std::string& message, bool messageBox) {
    window_->Present();  // let the user see what the program had shown
    if (!messageBox) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Snickit", message.c_str(),
                             window_->IsShown() ? window_->Handle() : nullptr);
}

}  // namespace snickit::sdl
