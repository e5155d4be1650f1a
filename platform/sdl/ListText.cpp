#include "platform/sdl/ListText.h"

#include <algorithm>

namespace snickit::sdl {

namespace {

constexpr char32_t kMalformed = 0xFFFFFFFF;

// The next character of `text` from `at`, which it moves past it; a byte that
// does not start a well-formed UTF-8 sequence gives kMalformed.
char32_t NextCharacter(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at++);
    if (lead < 0x80) return lead;
    const int more = lead >= 0xF0 ? (lead <= 0xF4 ? 3 : -1) : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (more < 0 || text.size() - at < static_cast<std::size_t>(more)) return kMalformed;
    char32_t code = lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return kMalformed;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (code < least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kMalformed;
    at += more;
    return code;
}

const embedded::Glyph* Find(char32_t code) {
    const embedded::GlyphTable& table = embedded::ListGlyphs;
    const embedded::Glyph* end = table.glyphs + table.count;
    const embedded::Glyph* found = std::lower_bound(
        table.glyphs, end, code, [](const embedded::Glyph& g, char32_t c) { return g.code < c; });
    return found != end && found->code == code ? found : nullptr;
}

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

// Blends a coverage bitmap (`width` x `height`, row by row) onto `target`
// at x, y in `color`, inside `clip`.
void Blend(SDL_Surface* target, const unsigned char* coverage, int width, int height, int x, int y,
           SDL_Color color, const SDL_Rect& clip) {
    const int left = std::max(x, clip.x), right = std::min(x + width, clip.x + clip.w);
    const int top = std::max(y, clip.y), bottom = std::min(y + height, clip.y + clip.h);
    for (int py = top; py < bottom; ++py) {
        for (int px = left; px < right; ++px) {
            const unsigned a = coverage[(py - y) * width + (px - x)];
            if (a == 0) continue;
            Uint8 r, g, b;
            SDL_GetRGB(ReadPixel(target, px, py), target->format, &r, &g, &b);
            WritePixel(target, px, py,
                       SDL_MapRGB(target->format, Mix(r, color.r, a), Mix(g, color.g, a), Mix(b, color.b, a)));
        }
    }
}

// What a character missing from the table draws: an empty box.
constexpr int kBoxAdvance = 7, kBoxWidth = 5, kBoxHeight = 7;
const unsigned char* BoxCoverage() {
    static unsigned char box[kBoxWidth * kBoxHeight];
    for (int row = 0; row < kBoxHeight; ++row) {
        for (int column = 0; column < kBoxWidth; ++column) {
            const bool edge = row == 0 || row == kBoxHeight - 1 || column == 0 || column == kBoxWidth - 1;
            box[row * kBoxWidth + column] = edge ? 255 : 0;
        }
    }
    return box;
}

}  // namespace

int ListTextHeight() { return embedded::ListGlyphs.height; }

void DrawListText(SDL_Surface* target, std::string_view text, int x, int y, SDL_Color color,
                  const SDL_Rect& clip) {
    if (text.empty() || target->format->BytesPerPixel < 2) return;
    const SDL_Rect whole{0, 0, target->w, target->h};
    SDL_Rect area;
    if (!SDL_IntersectRect(&clip, &target->clip_rect, &area) || !SDL_IntersectRect(&area, &whole, &area)) return;
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    static const unsigned char* const box = BoxCoverage();
    const int baseline = y + embedded::ListGlyphs.ascent;
    for (std::size_t at = 0; at < text.size() && x < area.x + area.w;) {
        const char32_t code = NextCharacter(text, at);
        if (const embedded::Glyph* glyph = code == kMalformed ? nullptr : Find(code)) {
            Blend(target, embedded::ListGlyphs.coverage + glyph->offset, glyph->width, glyph->height,
                  x + glyph->left, baseline - glyph->top, color, area);
            x += glyph->advance;
        } else {
            Blend(target, box, kBoxWidth, kBoxHeight, x + 1, baseline - kBoxHeight, color, area);
            x += kBoxAdvance;
        }
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
}

}  // namespace snickit::sdl
