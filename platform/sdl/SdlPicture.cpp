// Loading pictures: SDL's BMP reader, without the display (the skin checker
// uses it too).
#include "platform/sdl/SdlPicture.h"

#include "platform/NativePictureFile.h"

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

namespace {

std::shared_ptr<const SdlPicture> DecodeBmp(const std::vector<unsigned char>& file) {
    return LoadBmp(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())));
}

}  // namespace

std::shared_ptr<const SdlPicture> DecodeCheckedBmp(const std::vector<unsigned char>& file) {
    return CheckBitmap(file).ok ? DecodeBmp(file) : nullptr;
}

PictureRef LoadPictureFile(const std::string& programPath) {
    return native::LoadCheckedPicture(programPath, [](const std::vector<unsigned char>& file, const BitmapVerdict&) {
        return PictureRef(DecodeBmp(file));
    });
}

}  // namespace snickit::sdl
