// The Win32 desktop: the window, pictures (GDI), sound (winmm), files, the
// screen's metrics, the web link (shell) and the fatal message box.
#pragma once

#include <windows.h>
// <windows.h> names these as macros; here they are the interface's methods.
#undef IsMinimized
#undef PlaySound

#include "platform/Platform.h"
#include "platform/win32/Win32Window.h"

namespace snickit::win32 {

class Win32Platform final : public Platform {
public:
    // `instance` holds the resources (icon, about picture, default sound).
    explicit Win32Platform(HINSTANCE instance);

    Window& MainWindow() override { return window_; }
    Win32Window& NativeWindow() { return window_; }

    int DotsPerInch() const override;
    std::vector<PixelRect> UsableAreas() const override;

    std::string ProgramFolder() const override;
    std::string ReadTextFile(const std::string& path) override;
    void WriteTextFileAtomic(const std::string& path, const std::string& content) override;
    bool CanReplaceFile(const std::string& path) override;
    std::string UserSettingsFolder() const override;
    void MakeFolders(const std::string& path) override;
    std::vector<std::string> ListSubfolders(const std::string& path) override;
    int CompareNames(const std::string& a, const std::string& b) const override;
    void SortNames(std::vector<std::string>& names) const override;

    PictureRef LoadPicture(const std::string& path) override;
    PictureRef BuiltinAboutPicture() override;

    std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& path,
                                                             std::size_t maxBytes) override;
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
