// The skin list's text: glyphs of a sans font at 8 points, rendered when the
// program is built (MakeListGlyphs.cpp) and compiled into it, drawn by
// blending their coverage onto the surface in the text colour. No font
// file or font library is needed at run time.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <string_view>

namespace snickit::sdl {

namespace embedded {

struct Glyph {
    char32_t code;
    signed char left;  // from the pen to the bitmap's first column
    signed char top;   // from the baseline up to the bitmap's first row
    unsigned char width, height, advance;
    unsigned offset;   // of the first coverage byte (row by row, 0 to 255)
};

struct GlyphTable {
    int ascent;  // baseline below the line's top
    int height;  // of a line
    const Glyph* glyphs;  // by ascending code
    std::size_t count;
    const unsigned char* coverage;
};

extern const GlyphTable ListGlyphs;

}  // namespace embedded

// The height of a line of list text, in pixels.
int ListTextHeight();

// Draws UTF-8 `text` with its line's top-left corner at x, y, in `color`,
// inside `clip` only. A character the table lacks (or a malformed byte)
// draws as a box.
void DrawListText(SDL_Surface* target, std::string_view text, int x, int y, SDL_Color color,
                  const SDL_Rect& clip);

}  // namespace snickit::sdl
