// The list's built-in glyphs: a sans font at 8 points, rendered when the
// program is built (MakeListGlyphs.cpp) once for each scale from 1 to
// kBuiltInScales and compiled into it. Plain data, no SDL.
#pragma once

#include <cstddef>

namespace snickit::sdl::embedded {

// Scales with glyphs of their own: 96 to 384 dots per inch.
constexpr int kBuiltInScales = 4;

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
    const Glyph* glyphs;  // by ascending code, the same codes at every scale
    std::size_t count;
    const unsigned char* coverage;
};

// ListGlyphs[s - 1] is drawn at scale s.
extern const GlyphTable ListGlyphs[kBuiltInScales];

}  // namespace snickit::sdl::embedded
