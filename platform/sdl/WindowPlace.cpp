// Kept apart from the rest of the backend: Xlib's names (Window, None,
// Status...) would clash with the program's own.
#include "platform/sdl/WindowPlace.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace snickit::sdl {

void GetWindowPlace(SDL_Window* window, int& x, int& y) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        ::Window child = 0;
        if (XTranslateCoordinates(display, info.info.x11.window, DefaultRootWindow(display), 0, 0, &x, &y,
                                  &child)) {
            return;
        }
    }
    SDL_GetWindowPosition(window, &x, &y);
}

}  // namespace snickit::sdl
