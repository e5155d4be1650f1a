// The Windows backend at a glance (Win32, GDI, winmm). No code: what it
// implements of platform/Platform.h, and where it knowingly differs from the
// SDL backend (platform/sdl/Backend.h).
//
// Platform (Win32Platform)
// - Files, folders, name order, ReadBinaryFile: NativeFilesPlatform over
//   platform/win32 (wide-character paths, text in the ANSI code page or
//   UTF-8 after a mark). DisplayPath gives the program's path as it is.
// - MakePicture: a 32-bit DIB section of the pixels the core decoded, held
//   in a memory DC (Win32Picture.h). The about picture is a resource read by
//   LoadImageW.
// - PlayWave / PlayDefaultSound: sndPlaySound from memory, asynchronous;
//   Windows decodes the sound. What it refuses plays the ding resource (the
//   program's own, never the system's sound).
// - DotsPerInch: the density of the window's monitor (per-monitor aware);
//   WM_DPICHANGED reaches the core as DensityChanged. UsableAreas: each
//   monitor's work area.
// - OpenUrl: ShellExecuteW. ShowFatalError: MessageBoxW, after no further
//   event reaches the program.
//
// Window (Win32Window)
// - Made at once, hidden. Every handler runs inside the window procedure:
//   whatever it throws is kept and thrown again once Windows has returned.
//   Pictures are scaled with StretchBlt (COLORONCOLOR: whole pixel blocks).
// - The list is the system's LISTBOX child in the desktop's message font at
//   the window's density: its look, scrolling and search by typed letters
//   are Windows'. A key the program takes never reaches it.
// - InteractiveMove: the program's own loop with the mouse captured (not
//   the system's move loop, which follows the left button only and undoes
//   on Esc); on another monitor the window takes its density on the way.
#pragma once
