// Loading pictures: SDL's BMP reader, without the display (the skin checker
// uses it too).
#include "platform/sdl/SdlPicture.h"

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "skin/BitmapCheck.h"

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

std::shared_ptr<const SdlPicture> DecodeCheckedBmp(const std::vector<unsigned char>& file) {
    if (!CheckBitmap(file).ok) return nullptr;
    return LoadBmp(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())));
}

PictureRef LoadPictureFile(const std::string& programPath) {
    bool missing = false;
    std::optional<std::vector<unsigned char>> file = native::ReadBinaryFile(programPath, kMaxBitmapFileBytes, &missing);
    if (!file && missing) throw Failure(native::MissingKind(programPath), programPath);
    PictureRef picture = file ? DecodeCheckedBmp(*file) : nullptr;
    if (!picture) throw Failure(FailureKind::BadPicture, programPath);
    return picture;
}

}  // namespace snickit::sdl
