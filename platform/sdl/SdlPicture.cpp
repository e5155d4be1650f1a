// Loading pictures: SDL's BMP reader, without the display (the skin checker
// uses it too).
#include <sys/stat.h>

#include "platform/NativeFiles.h"
#include "platform/sdl/SdlPicture.h"

namespace snickit::sdl {

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

PictureRef LoadPictureFile(const std::string& path) {
    const std::string file = native::NativePath(path);
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) throw Failure(native::MissingKind(path), path);
    auto picture = LoadBmp(SDL_RWFromFile(file.c_str(), "rb"));
    if (!picture) throw Failure(FailureKind::BadPicture, path);
    return picture;
}

}  // namespace snickit::sdl
