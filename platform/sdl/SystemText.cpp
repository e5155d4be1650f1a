#include "platform/sdl/SystemText.h"

#include "platform/sdl/ListText.h"

// Headers only, for the types and the functions' signatures: the functions
// themselves are looked up in the libraries at run time.
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace snickit::sdl {

namespace {

// 8 points at 96 dots per inch, as the built-in glyphs.
constexpr int kPoints = 8;
constexpr int kDpi = 96;
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL;
// The fonts asked for, best first: the built-in glyphs' own, then the
// desktop's sans; fontconfig adds every other font after them.
constexpr char kFamilies[] = "DejaVu Sans,sans-serif";

#define SNICKIT_FUNCTION(name) decltype(&::name) name = nullptr

// The functions used, looked up by name in the three libraries.
struct Api {
    SNICKIT_FUNCTION(FcInit);
    SNICKIT_FUNCTION(FcNameParse);
    SNICKIT_FUNCTION(FcConfigSubstitute);
    SNICKIT_FUNCTION(FcDefaultSubstitute);
    SNICKIT_FUNCTION(FcFontSort);
    SNICKIT_FUNCTION(FcPatternDestroy);
    SNICKIT_FUNCTION(FcPatternGetString);
    SNICKIT_FUNCTION(FcPatternGetInteger);
    SNICKIT_FUNCTION(FcPatternGetBool);
    SNICKIT_FUNCTION(FcPatternGetCharSet);
    SNICKIT_FUNCTION(FcCharSetHasChar);
    SNICKIT_FUNCTION(FT_Init_FreeType);
    SNICKIT_FUNCTION(FT_New_Face);
    SNICKIT_FUNCTION(FT_Set_Char_Size);
    SNICKIT_FUNCTION(FT_Load_Glyph);
    SNICKIT_FUNCTION(FT_Render_Glyph);
    SNICKIT_FUNCTION(hb_buffer_create);
    SNICKIT_FUNCTION(hb_buffer_clear_contents);
    SNICKIT_FUNCTION(hb_buffer_add_utf32);
    SNICKIT_FUNCTION(hb_buffer_set_direction);
    SNICKIT_FUNCTION(hb_buffer_guess_segment_properties);
    SNICKIT_FUNCTION(hb_buffer_get_glyph_infos);
    SNICKIT_FUNCTION(hb_buffer_get_glyph_positions);
    SNICKIT_FUNCTION(hb_shape);
    SNICKIT_FUNCTION(hb_ft_font_create_referenced);
    SNICKIT_FUNCTION(hb_ft_font_set_load_flags);
    SNICKIT_FUNCTION(hb_unicode_funcs_get_default);
    SNICKIT_FUNCTION(hb_unicode_general_category);
    SNICKIT_FUNCTION(hb_unicode_script);
    SNICKIT_FUNCTION(hb_script_get_horizontal_direction);
};

#undef SNICKIT_FUNCTION

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// A font of the desktop, at one scale.
struct Face {
    FT_Face face = nullptr;
    hb_font_t* shaper = nullptr;
};

// One line's glyph, in the order it is drawn (left to right).
struct Placed {
    int font;  // in the sorted set; -1: a box
    unsigned glyph;
    hb_position_t advance, dx, dy;  // 26.6
};

// Resolved directions of the characters, as the bidirectional algorithm
// has them for plain text: no explicit embeddings, levels 0 to 2.
enum class Kind { Left, Right, Number, Neutral };

class Fonts {
public:
    static Fonts* Get() {
        // Kept, with the fonts it opened, until the program ends.
        static Fonts* const fonts = Load().release();
        return fonts;
    }

    bool Draw(SDL_Surface* target, std::string_view text, int x, int baseline, int scale, SDL_Color color,
              const SDL_Rect& clip);

private:
    static std::unique_ptr<Fonts> Load();
    int FontFor(char32_t code);
    bool Covers(int font, char32_t code) const;
    Face* FaceFor(int font, int scale);
    bool IsMarkOrFormat(char32_t code) const;
    Kind KindOf(char32_t code) const;
    void DrawGlyph(SDL_Surface* target, FT_Face face, unsigned glyph, int x, int baseline, SDL_Color color,
                   const SDL_Rect& clip);

    Api api_;
    FT_Library library_ = nullptr;
    FcFontSet* set_ = nullptr;  // every font, best first; kept while the program runs
    int first_ = -1;             // the first usable one, for characters no font has
    hb_buffer_t* buffer_ = nullptr;
    hb_unicode_funcs_t* unicode_ = nullptr;
    std::unordered_map<char32_t, int> fontFor_;
    std::map<std::pair<int, int>, Face> faces_;  // by font and scale
    std::vector<unsigned char> mono_;            // a 1-bit bitmap widened to coverage
};

std::unique_ptr<Fonts> Fonts::Load() {
    auto fonts = std::make_unique<Fonts>();
    Api& a = fonts->api_;
    void* fc = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
    void* ft = dlopen("libfreetype.so.6", RTLD_NOW | RTLD_LOCAL);
    void* hb = dlopen("libharfbuzz.so.0", RTLD_NOW | RTLD_LOCAL);
    const bool found =
        fc && ft && hb && Find(fc, "FcInit", a.FcInit) && Find(fc, "FcNameParse", a.FcNameParse) &&
        Find(fc, "FcConfigSubstitute", a.FcConfigSubstitute) && Find(fc, "FcDefaultSubstitute", a.FcDefaultSubstitute) &&
        Find(fc, "FcFontSort", a.FcFontSort) && Find(fc, "FcPatternDestroy", a.FcPatternDestroy) &&
        Find(fc, "FcPatternGetString", a.FcPatternGetString) && Find(fc, "FcPatternGetInteger", a.FcPatternGetInteger) &&
        Find(fc, "FcPatternGetBool", a.FcPatternGetBool) && Find(fc, "FcPatternGetCharSet", a.FcPatternGetCharSet) &&
        Find(fc, "FcCharSetHasChar", a.FcCharSetHasChar) && Find(ft, "FT_Init_FreeType", a.FT_Init_FreeType) &&
        Find(ft, "FT_New_Face", a.FT_New_Face) && Find(ft, "FT_Set_Char_Size", a.FT_Set_Char_Size) &&
        Find(ft, "FT_Load_Glyph", a.FT_Load_Glyph) && Find(ft, "FT_Render_Glyph", a.FT_Render_Glyph) &&
        Find(hb, "hb_buffer_create", a.hb_buffer_create) &&
        Find(hb, "hb_buffer_clear_contents", a.hb_buffer_clear_contents) &&
        Find(hb, "hb_buffer_add_utf32", a.hb_buffer_add_utf32) &&
        Find(hb, "hb_buffer_set_direction", a.hb_buffer_set_direction) &&
        Find(hb, "hb_buffer_guess_segment_properties", a.hb_buffer_guess_segment_properties) &&
        Find(hb, "hb_buffer_get_glyph_infos", a.hb_buffer_get_glyph_infos) &&
        Find(hb, "hb_buffer_get_glyph_positions", a.hb_buffer_get_glyph_positions) &&
        Find(hb, "hb_shape", a.hb_shape) && Find(hb, "hb_ft_font_create_referenced", a.hb_ft_font_create_referenced) &&
        Find(hb, "hb_ft_font_set_load_flags", a.hb_ft_font_set_load_flags) &&
        Find(hb, "hb_unicode_funcs_get_default", a.hb_unicode_funcs_get_default) &&
        Find(hb, "hb_unicode_general_category", a.hb_unicode_general_category) &&
        Find(hb, "hb_unicode_script", a.hb_unicode_script) &&
        Find(hb, "hb_script_get_horizontal_direction", a.hb_script_get_horizontal_direction);
    FcPattern* pattern = nullptr;
    if (found && a.FcInit() && a.FT_Init_FreeType(&fonts->library_) == 0) {
        pattern = a.FcNameParse(reinterpret_cast<const FcChar8*>(kFamilies));
    }
    if (pattern) {
        a.FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        a.FcDefaultSubstitute(pattern);
        FcResult result;
        // Untrimmed: a font that a better one seems to make useless may be
        // the only one left once colour and bitmap fonts are passed over.
        fonts->set_ = a.FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
        a.FcPatternDestroy(pattern);
    }
    if (fonts->set_) {
        for (int i = 0; i < fonts->set_->nfont && fonts->first_ < 0; ++i) {
            if (fonts->Covers(i, U'a') || fonts->Covers(i, 0x4E00)) fonts->first_ = i;
        }
    }
    if (fonts->first_ < 0 || !(fonts->buffer_ = a.hb_buffer_create())) {
        // Nothing usable: the libraries stay loaded (fontconfig may have
        // started threads of its own) but are never called again.
        return nullptr;
    }
    fonts->unicode_ = a.hb_unicode_funcs_get_default();
    return fonts;
}

// Whether font `font` of the set has `code` and can be drawn as coverage:
// scalable, and not in colour.
bool Fonts::Covers(int font, char32_t code) const {
    const FcPattern* pattern = set_->fonts[font];
    FcBool flag;
    if (api_.FcPatternGetBool(pattern, FC_SCALABLE, 0, &flag) == FcResultMatch && !flag) return false;
    if (api_.FcPatternGetBool(pattern, FC_COLOR, 0, &flag) == FcResultMatch && flag) return false;
    FcCharSet* charset;
    return api_.FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset) == FcResultMatch &&
           api_.FcCharSetHasChar(charset, code);
}

int Fonts::FontFor(char32_t code) {
    const auto known = fontFor_.find(code);
    if (known != fontFor_.end()) return known->second;
    int font = -1;
    for (int i = 0; i < set_->nfont && font < 0; ++i) {
        if (Covers(i, code)) font = i;
    }
    fontFor_.emplace(code, font);
    return font;
}

Face* Fonts::FaceFor(int font, int scale) {
    const auto key = std::pair(font, scale);
    const auto known = faces_.find(key);
    if (known != faces_.end()) return known->second.face ? &known->second : nullptr;
    Face& face = faces_[key];
    FcChar8* file;
    int index = 0;
    if (api_.FcPatternGetString(set_->fonts[font], FC_FILE, 0, &file) != FcResultMatch) return nullptr;
    api_.FcPatternGetInteger(set_->fonts[font], FC_INDEX, 0, &index);
    FT_Face opened;
    if (api_.FT_New_Face(library_, reinterpret_cast<const char*>(file), index, &opened) != 0) return nullptr;
    if (api_.FT_Set_Char_Size(opened, 0, kPoints * 64, kDpi * scale, kDpi * scale) != 0) return nullptr;
    hb_font_t* shaper = api_.hb_ft_font_create_referenced(opened);
    if (!shaper) return nullptr;
    // Advances as the glyphs are drawn: hinted.
    api_.hb_ft_font_set_load_flags(shaper, kLoadFlags);
    face.face = opened;
    face.shaper = shaper;
    return &face;
}

bool Fonts::IsMarkOrFormat(char32_t code) const {
    switch (api_.hb_unicode_general_category(unicode_, code)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT: return true;
    default: return false;
    }
}

Kind Fonts::KindOf(char32_t code) const {
    const hb_unicode_general_category_t category = api_.hb_unicode_general_category(unicode_, code);
    if (category == HB_UNICODE_GENERAL_CATEGORY_DECIMAL_NUMBER) return Kind::Number;
    const hb_direction_t direction =
        api_.hb_script_get_horizontal_direction(api_.hb_unicode_script(unicode_, code));
    if (direction == HB_DIRECTION_RTL) return Kind::Right;
    switch (category) {
    case HB_UNICODE_GENERAL_CATEGORY_LOWERCASE_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_MODIFIER_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_OTHER_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_TITLECASE_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_UPPERCASE_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK: return Kind::Left;
    default: return Kind::Neutral;
    }
}

void Fonts::DrawGlyph(SDL_Surface* target, FT_Face face, unsigned glyph, int x, int baseline, SDL_Color color,
                      const SDL_Rect& clip) {
    if (api_.FT_Load_Glyph(face, glyph, kLoadFlags) != 0) return;
    const FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && api_.FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = static_cast<int>(bitmap.width), height = static_cast<int>(bitmap.rows);
    if (width == 0 || height == 0 || bitmap.pitch <= 0) return;
    const unsigned char* coverage = bitmap.buffer;
    int pitch = bitmap.pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {  // a font's own bitmap strike
        mono_.assign(static_cast<std::size_t>(width * height), 0);
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                if (bitmap.buffer[row * bitmap.pitch + column / 8] & (0x80 >> (column % 8))) {
                    mono_[static_cast<std::size_t>(row * width + column)] = 255;
                }
            }
        }
        coverage = mono_.data();
        pitch = width;
    } else if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256) {
        return;
    }
    text_detail::Blend(target, coverage, width, height, pitch, 1, x + slot->bitmap_left, baseline - slot->bitmap_top,
                       color, clip);
}

bool Fonts::Draw(SDL_Surface* target, std::string_view text, int x, int baseline, int scale, SDL_Color color,
                 const SDL_Rect& clip) {
    // The characters, each with its font (a mark or a joiner stays with the
    // character before it when that font has it) and its direction.
    std::vector<hb_codepoint_t> codes;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = text_detail::NextCharacter(text, at);
        codes.push_back(code == text_detail::kMalformed ? 0xFFFD : code);
    }
    const std::size_t count = codes.size();
    std::vector<int> font(count);
    std::vector<Kind> kind(count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool attached = i > 0 && IsMarkOrFormat(codes[i]);
        font[i] = attached && Covers(font[i - 1], codes[i]) ? font[i - 1] : FontFor(codes[i]);
        if (font[i] < 0) font[i] = attached ? font[i - 1] : first_;  // drawn as a box
        kind[i] = attached ? kind[i - 1] : KindOf(codes[i]);
    }

    // Levels: the paragraph's from its first strong character; right-to-left
    // letters at 1; left-to-right letters at 0, or 2 in a right-to-left
    // paragraph; numbers as the letters before them, or 2 after right-to-left
    // ones; anything else as the strong characters on both its sides when
    // they agree, else as the paragraph.
    int paragraph = 0;
    for (const Kind k : kind) {
        if (k == Kind::Left || k == Kind::Right) {
            paragraph = k == Kind::Right ? 1 : 0;
            break;
        }
    }
    std::vector<int> level(count);
    Kind strong = paragraph ? Kind::Right : Kind::Left;
    for (std::size_t i = 0; i < count; ++i) {
        if (kind[i] == Kind::Left || kind[i] == Kind::Right) strong = kind[i];
        if (kind[i] == Kind::Right) level[i] = 1;
        if (kind[i] == Kind::Left) level[i] = paragraph ? 2 : 0;
        if (kind[i] == Kind::Number) level[i] = paragraph == 0 && strong == Kind::Left ? 0 : 2;
    }
    // Neutrals see numbers as right-to-left, except numbers at level 0.
    const auto sideOf = [&](std::size_t i) {
        return kind[i] == Kind::Neutral ? -1 : level[i] == 1 || (kind[i] == Kind::Number && level[i] == 2) ? 1 : 0;
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (kind[i] != Kind::Neutral) continue;
        std::size_t end = i;
        while (end < count && kind[end] == Kind::Neutral) ++end;
        const int before = i > 0 ? sideOf(i - 1) : paragraph;
        const int after = end < count ? sideOf(end) : paragraph;
        const int side = before == after ? before : paragraph;
        for (; i < end; ++i) level[i] = side == 1 ? 1 : paragraph ? 2 : 0;
        --i;
    }

    // Runs of one font and one level, each shaped in its direction (HarfBuzz
    // gives a right-to-left run's glyphs from left to right), then put in
    // reading order: from the highest level down to 1, every stretch of runs
    // at that level or above is reversed.
    struct Run {
        std::size_t start, length;
        int font, level;
        std::vector<Placed> glyphs;
    };
    std::vector<Run> runs;
    for (std::size_t i = 0; i < count; ++i) {
        if (runs.empty() || runs.back().font != font[i] || runs.back().level != level[i]) {
            runs.push_back({i, 0, font[i], level[i], {}});
        }
        ++runs.back().length;
    }
    for (Run& run : runs) {
        Face* face = FaceFor(run.font, scale);
        if (!face) {
            for (std::size_t i = 0; i < run.length; ++i) run.glyphs.push_back({-1, 0, 0, 0, 0});
            continue;
        }
        api_.hb_buffer_clear_contents(buffer_);
        // The whole text as context, so that letters join across runs.
        api_.hb_buffer_add_utf32(buffer_, codes.data(), static_cast<int>(count), static_cast<unsigned>(run.start),
                                 static_cast<int>(run.length));
        api_.hb_buffer_set_direction(buffer_, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        api_.hb_buffer_guess_segment_properties(buffer_);
        api_.hb_shape(face->shaper, buffer_, nullptr, 0);
        unsigned glyphs = 0;
        const hb_glyph_info_t* info = api_.hb_buffer_get_glyph_infos(buffer_, &glyphs);
        const hb_glyph_position_t* position = api_.hb_buffer_get_glyph_positions(buffer_, &glyphs);
        for (unsigned g = 0; g < glyphs; ++g) {
            run.glyphs.push_back({info[g].codepoint ? run.font : -1, info[g].codepoint, position[g].x_advance,
                                  position[g].x_offset, position[g].y_offset});
        }
    }
    const int highest = std::max_element(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
                            return a.level < b.level;
                        })->level;
    for (int at = highest; at >= 1; --at) {
        for (auto run = runs.begin(); run != runs.end();) {
            if (run->level < at) {
                ++run;
                continue;
            }
            auto end = run;
            while (end != runs.end() && end->level >= at) ++end;
            std::reverse(run, end);
            run = end;
        }
    }

    // Drawn from the pen, in 26.6 fixed point between glyphs.
    long pen = static_cast<long>(x) * 64;
    for (const Run& run : runs) {
        Face* face = run.font >= 0 ? FaceFor(run.font, scale) : nullptr;
        for (const Placed& glyph : run.glyphs) {
            const int left = static_cast<int>((pen + 32) >> 6);
            if (glyph.font < 0 || !face) {
                pen += static_cast<long>(text_detail::DrawBox(target, left, baseline, scale, color, clip)) * 64;
                continue;
            }
            DrawGlyph(target, face->face, glyph.glyph, static_cast<int>((pen + glyph.dx + 32) >> 6),
                      baseline - static_cast<int>((glyph.dy + 32) >> 6), color, clip);
            pen += glyph.advance;
        }
    }
    return true;
}

}  // namespace

bool DrawSystemText(SDL_Surface* target, std::string_view text, int x, int baseline, int scale, SDL_Color color,
                    const SDL_Rect& clip) {
    Fonts* fonts = text.empty() ? nullptr : Fonts::Get();
    return fonts && fonts->Draw(target, text, x, baseline, scale, color, clip);
}

}  // namespace snickit::sdl
