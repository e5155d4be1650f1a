#include "platform/sdl/ListText.h"

#include "platform/sdl/SystemText.h"

#include <algorithm>
#include <vector>

namespace snickit::sdl {

namespace text_detail {

namespace {

// Pixel access for surfaces of 2, 3 or 4 bytes per pixel.
Uint32 ReadPixel(const SDL_Surface* s, int x, int y) {
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 value = 0;
    SDL_memcpy(&value, p, s->format->BytesPerPixel);  // little-endian hosts
    return value;
}

void WritePixel(SDL_Surface* s, int x, int y, Uint32 value) {
    Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    SDL_memcpy(p, &value, s->format->BytesPerPixel);
}

Uint8 Mix(Uint8 under, Uint8 over, unsigned coverage) {
    return static_cast<Uint8>((under * (255 - coverage) + over * coverage + 127) / 255);
}

// The box's shape at scale 1: 5 x 7 pixels, advancing 7; at scale s every
// length is s times as long, strokes included, so it stays sharp.
constexpr int kBoxAdvance = 7, kBoxWidth = 5, kBoxHeight = 7;

}  // namespace

void Blend(SDL_Surface* target, const unsigned char* coverage, int width, int height, int pitch, int zoom,
           int x, int y, SDL_Color color, const SDL_Rect& clip) {
    const int left = std::max(x, clip.x), right = std::min(x + width * zoom, clip.x + clip.w);
    const int top = std::max(y, clip.y), bottom = std::min(y + height * zoom, clip.y + clip.h);
    for (int py = top; py < bottom; ++py) {
        const unsigned char* row = coverage + (py - y) / zoom * pitch;
        for (int px = left; px < right; ++px) {
            const unsigned a = row[(px - x) / zoom];
            if (a == 0) continue;
            Uint8 r, g, b;
            SDL_GetRGB(ReadPixel(target, px, py), target->format, &r, &g, &b);
            WritePixel(target, px, py,
                       SDL_MapRGB(target->format, Mix(r, color.r, a), Mix(g, color.g, a), Mix(b, color.b, a)));
        }
    }
}

int DrawBox(SDL_Surface* target, int x, int baseline, int scale, SDL_Color color, const SDL_Rect& clip) {
    static std::vector<unsigned char> boxes[embedded::kBuiltInScales + 1];
    const int s = std::clamp(scale, 1, 64);
    const int width = kBoxWidth * s, height = kBoxHeight * s;
    std::vector<unsigned char> local;
    std::vector<unsigned char>& box = s <= embedded::kBuiltInScales ? boxes[s] : local;
    if (box.empty()) {
        box.resize(static_cast<std::size_t>(width * height));
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const bool edge = row < s || row >= height - s || column < s || column >= width - s;
                box[static_cast<std::size_t>(row * width + column)] = edge ? 255 : 0;
            }
        }
    }
    Blend(target, box.data(), width, height, width, 1, x + s, baseline - height, color, clip);
    return kBoxAdvance * s;
}

}  // namespace text_detail

namespace {

using text_detail::kMalformed;

// The built-in table for `scale` and how much to enlarge it: its own table
// up to kBuiltInScales, beyond that the largest table whose scale divides
// it, each pixel enlarged to a square (still sharp, though coarser than a
// table of its own).
const embedded::GlyphTable& TableFor(int scale, int& zoom) {
    int table = std::max(1, scale);
    zoom = 1;
    if (table > embedded::kBuiltInScales) {
        for (int t = embedded::kBuiltInScales; t >= 1; --t) {
            if (table % t == 0) {
                zoom = table / t;
                table = t;
                break;
            }
        }
    }
    return embedded::ListGlyphs[table - 1];
}

const embedded::Glyph* Find(const embedded::GlyphTable& table, char32_t code) {
    const embedded::Glyph* end = table.glyphs + table.count;
    const embedded::Glyph* found = std::lower_bound(
        table.glyphs, end, code, [](const embedded::Glyph& g, char32_t c) { return g.code < c; });
    return found != end && found->code == code ? found : nullptr;
}

// Whether every character of `text` has a built-in glyph (a malformed byte
// counts as covered: it is a box whichever way the name is drawn).
bool BuiltInCovers(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = text_detail::NextCharacter(text, at);
        if (code != kMalformed && !Find(embedded::ListGlyphs[0], code)) return false;
    }
    return true;
}

}  // namespace

int ListTextHeight(int scale) {
    int zoom;
    const embedded::GlyphTable& table = TableFor(scale, zoom);
    return table.height * zoom;
}

void DrawListText(SDL_Surface* target, std::string_view text, int x, int y, SDL_Color color,
                  const SDL_Rect& clip, int scale) {
    if (text.empty() || target->format->BytesPerPixel < 2) return;
    const SDL_Rect whole{0, 0, target->w, target->h};
    SDL_Rect area;
    if (!SDL_IntersectRect(&clip, &target->clip_rect, &area) || !SDL_IntersectRect(&area, &whole, &area)) return;
    int zoom;
    const embedded::GlyphTable& table = TableFor(scale, zoom);
    const int baseline = y + table.ascent * zoom;
    const bool builtIn = BuiltInCovers(text);
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    // A name in another script draws with the desktop's fonts, shaped and
    // in its reading order; without them (no library, no font) it draws
    // from the built-in glyphs, its other characters as boxes.
    if (builtIn || !DrawSystemText(target, text, x, baseline, std::max(1, scale), color, area)) {
        for (std::size_t at = 0; at < text.size() && x < area.x + area.w;) {
            const char32_t code = text_detail::NextCharacter(text, at);
            if (const embedded::Glyph* glyph = code == kMalformed ? nullptr : Find(table, code)) {
                text_detail::Blend(target, table.coverage + glyph->offset, glyph->width, glyph->height,
                                   glyph->width, zoom, x + glyph->left * zoom, baseline - glyph->top * zoom,
                                   color, area);
                x += glyph->advance * zoom;
            } else {
                x += text_detail::DrawBox(target, x, baseline, std::max(1, scale), color, area);
            }
        }
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
}

}  // namespace snickit::sdl
