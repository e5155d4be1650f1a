// Kept apart from the rest of the backend: Xlib's names (Window, None,
// Status...) would clash with the program's own.
#include "platform/sdl/DesktopDensity.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace snickit::sdl {

namespace {

constexpr int kStandardDotsPerInch = 96;
// Beyond any real screen; keeps the products below far from overflowing.
constexpr int kMostDotsPerInch = 96 * 16;

}  // namespace

int WholeScaleFromText(const char* text) {
    if (!text || !*text) return 0;
    int scale = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return 0;
        scale = scale * 10 + (*c - '0');
        if (scale > kMostDotsPerInch / kStandardDotsPerInch) return 0;
    }
    return scale;
}

int DotsPerInchFromResources(const char* resources) {
    if (!resources) return 0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database) return 0;
    int dotsPerInch = 0;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr && value.size > 0) {
        // The value as the resource holds it: "192", "192.0", " 144 "...
        char* end = nullptr;
        const double parsed = std::strtod(value.addr, &end);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (end != value.addr && end && *end == '\0' && parsed >= 1 && parsed <= kMostDotsPerInch) {
            dotsPerInch = static_cast<int>(std::lround(parsed));
        }
    }
    XrmDestroyDatabase(database);
    return dotsPerInch;
}

int DesktopDotsPerInch() {
    if (const int scale = WholeScaleFromText(std::getenv("GDK_SCALE")); scale >= 1) {
        return kStandardDotsPerInch * scale;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return kStandardDotsPerInch;
    // A connection of its own for one question, before the window is made:
    // the resources are the root window's, the same for every client.
    Display* display = XOpenDisplay(nullptr);
    if (!display) return kStandardDotsPerInch;
    const int dotsPerInch = DotsPerInchFromResources(XResourceManagerString(display));
    XCloseDisplay(display);
    return dotsPerInch > 0 ? dotsPerInch : kStandardDotsPerInch;
}

}  // namespace snickit::sdl
