// A picture as the SDL backend holds it: a surface in the window's pixel
// format, ready to be copied onto the window.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit::sdl {

class SdlPicture final : public Picture {
public:
    // Takes ownership of `surface`.
    explicit SdlPicture(SDL_Surface* surface) : surface_(surface) {}
    ~SdlPicture() override { SDL_FreeSurface(surface_); }
    SdlPicture(const SdlPicture&) = delete;
    SdlPicture& operator=(const SdlPicture&) = delete;

    int Width() const override { return surface_->w; }
    int Height() const override { return surface_->h; }
    // The surface is RGB888: one 32-bit word per pixel, 0x00RRGGBB.
    std::uint32_t PixelAt(int x, int y) const override {
        const auto* row = static_cast<const unsigned char*>(surface_->pixels) + y * surface_->pitch;
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFFu;
    }
    SDL_Surface* Surface() const { return surface_; }

private:
    SDL_Surface* surface_;
};

// Reads a BMP from `source` (which it closes) into a picture, or returns
// null when it is no readable BMP. For trusted bytes only (the built-in
// pictures): SDL believes what a header declares.
std::shared_ptr<const SdlPicture> LoadBmp(SDL_RWops* source);

// A picture of pixels the core decoded (Platform::MakePicture); needs no
// display.
std::shared_ptr<const SdlPicture> PictureFromPixels(const PicturePixels& kept);

}  // namespace snickit::sdl
