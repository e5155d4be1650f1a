// Where the window really stands on the screen.
#pragma once

#include <SDL.h>

namespace snickit::sdl {

// The screen position of the window's top-left corner, asked of the
// window system itself. (SDL 2.26 caches the position from configure
// events and, under a reparenting window manager, can report it off by the
// frame's offset.) Falls back to SDL's value on other video drivers.
void GetWindowPlace(SDL_Window* window, int& x, int& y);

// The pointer's screen position and the buttons held (SDL_BUTTON masks),
// asked of the window system now. (SDL 2.26's global mouse state can be the
// one it asked for before the last moves it has not read yet.)
Uint32 GetPointerPlace(SDL_Window* window, int& x, int& y);

// Lets a wake-up that SDL sent to a window being destroyed fail quietly
// (see WindowPlace.cpp); every other X error ends the program as before.
// Called before SDL opens the display.
void TolerateLateWakeUps();

}  // namespace snickit::sdl
