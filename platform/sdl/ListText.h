// The skin list's text. Names that the built-in glyphs cover (Latin, Greek,
// Cyrillic; ListGlyphs.h) draw from them, with no font file or font library;
// any other name draws with the desktop's fonts (SystemText.h), loaded the
// first time such a name is drawn. Either way glyphs are blended by their
// coverage onto the surface in the text colour.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <string_view>

#include "platform/Utf8.h"
#include "platform/sdl/ListGlyphs.h"

namespace snickit::sdl {

// The height of a line of list text at `scale`, in pixels.
int ListTextHeight(int scale = 1);

// Draws UTF-8 `text` with its line's top-left corner at x, y, in `color`,
// inside `clip` only, at `scale` times the usual size. A character that no
// font has (or a malformed byte) draws as a box.
void DrawListText(SDL_Surface* target, std::string_view text, int x, int y, SDL_Color color,
                  const SDL_Rect& clip, int scale = 1);

namespace text_detail {

// Blends a coverage bitmap (`width` x `height`, rows `pitch` bytes apart,
// 0 to 255), each of its pixels `zoom` x `zoom` pixels large, onto `target`
// at x, y in `color`, inside `clip`. The target is locked.
void Blend(SDL_Surface* target, const unsigned char* coverage, int width, int height, int pitch, int zoom,
           int x, int y, SDL_Color color, const SDL_Rect& clip);

// What a character no font has draws at `scale`: an empty box standing on
// the baseline at pen x; returns its advance.
int DrawBox(SDL_Surface* target, int x, int baseline, int scale, SDL_Color color, const SDL_Rect& clip);

// The next character of `text` from `at`, which it moves past it; a byte
// that does not start a well-formed UTF-8 sequence gives kMalformed
// (platform/Utf8.h, the program's one decoder).
using utf8::kMalformed;
constexpr char32_t NextCharacter(std::string_view text, std::size_t& at) { return utf8::Next(text, at); }

}  // namespace text_detail

}  // namespace snickit::sdl
