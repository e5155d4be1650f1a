// The Win32 desktop: the window, pictures (GDI), sound (winmm), the screen's
// metrics, the web link (shell) and the fatal message box; files through
// NativeFilesPlatform. What it implements and where it differs from the SDL
// backend: platform/win32/Backend.h.
#pragma once

#include <windows.h>
// <windows.h> names these as macros; here they are the interface's methods.
#undef IsMinimized
#undef PlaySound

#include "platform/NativeFilesPlatform.h"
#include "platform/win32/Win32Window.h"

namespace snickit::win32 {

class Win32Platform final : public native::NativeFilesPlatform {
public:
    // `instance` holds the resources (icon, about picture, default sound).
    explicit Win32Platform(HINSTANCE instance);

    Window& MainWindow() override { return window_; }
    Win32Window& NativeWindow() { return window_; }

    int DotsPerInch() const override;
    std::vector<PixelRect> UsableAreas() const override;

    PictureRef MakePicture(const PicturePixels& pixels) override;
    PictureRef BuiltinAboutPicture() override;

    void PlayWave(std::shared_ptr<const std::vector<unsigned char>> wave) override;
    void PlayDefaultSound() override;
    bool OpenUrl(const std::string& url) override;
    void ShowFatalError(const std::string& message, bool messageBox) override;

private:
    HINSTANCE instance_;
    Win32Window window_;
    PictureRef about_;
    std::shared_ptr<const std::vector<unsigned char>> playing_;  // the memory sndPlaySound plays from
};

}  // namespace snickit::win32
