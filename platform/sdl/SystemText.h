// List text in any script, with the desktop's fonts: fontconfig finds a font
// for each character, FreeType renders it and HarfBuzz shapes each run
// (joined Arabic, Thai marks) and gives right-to-left runs in their reading
// order. The three libraries are opened with dlopen the first time a name
// needs them, so that a program showing only names that the built-in glyphs
// cover never maps them; the program does not link to them.
#pragma once

#include <SDL.h>

#include <string_view>

namespace snickit::sdl {

// Draws UTF-8 `text` from pen x on `baseline` at 8 points times `scale`
// (96 dots per inch at scale 1), in `color`, inside `clip`, on a locked
// surface of 2 to 4 bytes per pixel. A character no font has draws as the
// list's box. Returns false, having drawn nothing, when fontconfig, FreeType
// or HarfBuzz cannot be loaded or no font is found.
bool DrawSystemText(SDL_Surface* target, std::string_view text, int x, int baseline, int scale, SDL_Color color,
                    const SDL_Rect& clip);

}  // namespace snickit::sdl
