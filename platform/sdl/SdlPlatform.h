// The Linux desktop platform: SDL2 for the window, pictures and sound,
// POSIX for files (NativeFilesPlatform). What it implements and where it
// differs from the Win32 backend: platform/sdl/Backend.h.
#pragma once

#include <SDL.h>

#include <memory>

#include "platform/NativeFilesPlatform.h"

namespace snickit::sdl {

class SdlWindow;
class SoundPlayer;

class SdlPlatform final : public native::NativeFilesPlatform {
public:
    // Initialises SDL (video and audio only); the window is made when it is
    // first shown. Throws std::runtime_error when there is no display to open.
    SdlPlatform();
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    Window& MainWindow() override;
    int DotsPerInch() const override;
    std::vector<PixelRect> UsableAreas() const override;
    PictureRef MakePicture(const PicturePixels& pixels) override;
    PictureRef BuiltinAboutPicture() override;
    void PlayWave(std::shared_ptr<const std::vector<unsigned char>> wave) override;
    void PlayDefaultSound() override;
    bool OpenUrl(const std::string& url) override;
    void ShowFatalError(const std::string& message, bool messageBox) override;
    // Messages name files by their native path, with slashes.
    std::string DisplayPath(const std::string& programPath) const override;

private:
    std::unique_ptr<SoundPlayer> sound_;
    std::unique_ptr<SdlWindow> window_;
    PictureRef about_;
};

}  // namespace snickit::sdl
