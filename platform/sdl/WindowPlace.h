// Where the window really stands on the screen.
#pragma once

#include <SDL.h>

namespace snickit::sdl {

// The screen position of the window's top-left corner, asked of the
// window system itself. (SDL 2.26 caches the position from configure
// events and, under a reparenting window manager, can report it off by the
// frame's offset.) Falls back to SDL's value on other video drivers.
void GetWindowPlace(SDL_Window* window, int& x, int& y);

}  // namespace snickit::sdl
