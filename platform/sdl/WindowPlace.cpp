// Kept apart from the rest of the backend: Xlib's names (Window, None,
// Status...) would clash with the program's own.
#include "platform/sdl/WindowPlace.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace snickit::sdl {

namespace {

XErrorHandler previousErrorHandler = nullptr;

// SDL 2.26 wakes a thread waiting for events by sending an event to the
// window over a second connection to the X server, also when the event was
// queued from inside the wait itself (the window manager's close request is
// one). The window's destruction goes over the first connection, and the
// server may carry it out before the wake-up: the send then fails with
// BadWindow, reported when SDL_Quit closes the second connection, and Xlib's
// default handler ends the program with status 1. A wake-up for a window
// that is gone has nothing left to wake.
int OnXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return previousErrorHandler ? previousErrorHandler(display, error) : 0;
}

}  // namespace

void TolerateLateWakeUps() {
    // SDL keeps the handler it finds and puts it back when it closes the
    // display, so this one stays in force to the end.
    previousErrorHandler = XSetErrorHandler(&OnXError);
}

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

Uint32 GetPointerPlace(SDL_Window* window, int& x, int& y) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        ::Window root = 0, child = 0;
        int windowX = 0, windowY = 0;
        unsigned int mask = 0;
        if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &mask)) {
            return ((mask & Button1Mask) ? SDL_BUTTON_LMASK : 0) | ((mask & Button2Mask) ? SDL_BUTTON_MMASK : 0) |
                   ((mask & Button3Mask) ? SDL_BUTTON_RMASK : 0);
        }
    }
    return SDL_GetGlobalMouseState(&x, &y);
}

}  // namespace snickit::sdl
