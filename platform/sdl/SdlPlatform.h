// The Linux desktop platform: SDL2 for the window, pictures and sound,
// POSIX for files.
#pragma once

#include <SDL.h>

#include <memory>

#include "platform/Platform.h"

namespace snickit::sdl {

class SdlWindow;
class SoundPlayer;

class SdlPlatform final : public Platform {
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
    // Messages name files by their native path, with slashes.
    std::string DisplayPath(const std::string& programPath) const override;

private:
    std::unique_ptr<SoundPlayer> sound_;
    std::unique_ptr<SdlWindow> window_;
    PictureRef about_;
};

}  // namespace snickit::sdl
