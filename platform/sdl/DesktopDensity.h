// The desktop's density, as the other programs of the desktop read it.
#pragma once

namespace snickit::sdl {

// Dots per inch: 96 x GDK_SCALE when that is set to a whole number of at
// least 1; else the X server's Xft.dpi resource (what desktops set at 200 %:
// 192); else 96. Video drivers other than X11 give 96. (SDL 2.26's own
// SDL_GetDisplayDPI fails under XRandR outputs that report no size, and
// ignores GDK_SCALE.) Call after SDL's video is initialised.
int DesktopDotsPerInch();

// Pure parts, for the tests: GDK_SCALE's value as a whole scale (0 when it
// is unset or not a whole number >= 1), and a resource string's Xft.dpi
// value rounded (0 when absent or not a positive number).
int WholeScaleFromText(const char* text);
int DotsPerInchFromResources(const char* resources);

}  // namespace snickit::sdl
