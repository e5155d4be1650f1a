// SDL keys to the virtual-key codes the program's logic works with.
#pragma once

#include <SDL.h>

namespace snickit::sdl {

// The virtual-key code of a key, or 0 for a key that has none. The keypad
// follows the NumLock state given (SDL 2 reports the keypad's own keys
// whatever NumLock says): with NumLock on keypad 1 is 97, with it off keypad
// 1 is End (35), keypad 2 Down (40), and so on.
int VirtualKeyFor(const SDL_Keysym& key, bool numLockOn);

// The modifier mask of a key event: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftMaskFor(Uint16 mod);

}  // namespace snickit::sdl
