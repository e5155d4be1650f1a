// The Linux backend at a glance (SDL2, POSIX files). No code: what it
// implements of platform/Platform.h, and where it knowingly differs from the
// Win32 backend (platform/win32/Backend.h).
//
// Platform (SdlPlatform)
// - Files, folders, name order, ReadBinaryFile: NativeFilesPlatform over
//   platform/posix (backslashes become slashes, letter case is matched).
//   DisplayPath gives the native path, with slashes.
// - MakePicture: an RGB888 surface of the pixels the core decoded
//   (SdlPicture.h). The about picture and the icon are built in and read by
//   SDL's BMP reader.
// - PlayWave / PlayDefaultSound: SDL's audio callback (SoundPlayer.h). SDL
//   decodes and converts a sound to the device's format; the last few
//   converted sounds are cached; what SDL cannot decode, or would take more
//   than 64 MiB to convert, plays the built-in ding.
// - DotsPerInch: GDK_SCALE, else Xft.dpi, else 96 (DesktopDensity.h), read
//   once: a density change while running is not reported (no
//   DensityChanged). UsableAreas: SDL's usable bounds of each display.
// - OpenUrl: SDL_OpenURL on a thread of its own, waited on for 100 ms.
//   ShowFatalError: SDL's simple message box.
//
// Window (SdlWindow)
// - The system window is made at the first Show, where the program has
//   placed it. Pictures are scaled by whole pixel blocks onto the window's
//   surface.
// - The list is drawn by the backend (DrawnList.h): a classic grey list box
//   with its own scroll bar, double click and navigation keys, but no
//   search by typed letters. Its text: built-in glyphs for Latin, Greek and
//   Cyrillic at scales 1 to 4, any other script through fontconfig,
//   FreeType and HarfBuzz, opened only when a name needs them.
// - InteractiveMove: the program's own loop, following the pointer as the
//   X server reports it (WindowPlace.h) until the button is released, then
//   giving the window manager a moment to put the window there.
#pragma once
