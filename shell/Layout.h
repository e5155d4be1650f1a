// The design places of the window's hot spots, in pixels at 96 dots per inch
// (x, y, width, height). The window model scales them for the screen; the
// skin checker compares a skin's pictures inside them.
#pragma once

#include "platform/Platform.h"

namespace snickit::layout {

inline constexpr int kWindowWidth = 240;
inline constexpr int kWindowHeight = 95;

// Image_BTN(0) to Image_BTN(3): neighbours share one column (x 62, 119, 176).
inline constexpr PixelRect kSoundButton[4] = {
    {3, 19, 60, 71}, {62, 19, 58, 71}, {119, 19, 58, 71}, {176, 19, 60, 71}};
inline constexpr PixelRect kMenuButton{1, 1, 26, 21};  // Image_Menu
inline constexpr PixelRect kMinimize{205, 3, 16, 13};  // Image_Min
inline constexpr PixelRect kClose{221, 3, 16, 14};     // Image_quit(0)
inline constexpr PixelRect kSkinsItem{8, 23, 116, 18}; // Image_skin
inline constexpr PixelRect kAboutItem{9, 39, 116, 18}; // Image_About
inline constexpr PixelRect kQuitItem{8, 55, 116, 18};  // Image_quit(1)
inline constexpr PixelRect kOk{32, 58, 61, 27};        // command_Ok
inline constexpr PixelRect kWebLink{130, 56, 106, 35}; // Image_Net

}  // namespace snickit::layout
