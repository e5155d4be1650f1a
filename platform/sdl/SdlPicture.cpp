// Making pictures without the display (the skin checker does too): SDL's
// BMP reader for the built-in pictures, skin pictures from the pixels the
// core decoded.
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

std::shared_ptr<const SdlPicture> PictureFromPixels(const PicturePixels& kept) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kept.width, kept.height, 32, SDL_PIXELFORMAT_RGB888);
    if (!surface) return nullptr;
    for (int y = 0; y < kept.height; ++y)
        SDL_memcpy(static_cast<unsigned char*>(surface->pixels) + y * surface->pitch,
                   kept.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(kept.width),
                   static_cast<std::size_t>(kept.width) * 4);
    SDL_SetSurfaceBlendMode(surface, SDL_BLENDMODE_NONE);
    return std::make_shared<const SdlPicture>(surface);
}

}  // namespace snickit::sdl
