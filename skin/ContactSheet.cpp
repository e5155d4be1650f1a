// The contact sheet of the skin checker: the pictures of each skin at twice
// their size, every hot spot outlined and labelled in a small pixel font,
// written as a 24-bit Windows bitmap.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "skin/SkinCheck.h"
#include "skin/SkinSpots.h"

namespace snickit {

namespace {

using layout::kWindowHeight;
using layout::kWindowWidth;

constexpr int kScale = 2;
constexpr int kMargin = 8;
constexpr int kPanelWidth = kWindowWidth * kScale;
constexpr int kPanelHeight = kWindowHeight * kScale;
constexpr int kCaption = 14;  // a line of text at twice the font's size, and a gap
constexpr int kPanelGap = 8;
constexpr int kColumnHeight = kCaption + 3 * (kCaption + kPanelHeight + kPanelGap);
constexpr int kColumnsPerRow = 3;
constexpr std::uint32_t kBackground = 0x202020, kText = 0xE0E0E0, kLabelBack = 0x000000;
constexpr std::uint32_t kBareLight = 0x606060, kBareDark = 0x404040;  // where a picture does not reach

// Glyphs of 3 x 5 pixels, rows from the top; anything else draws as '?'.
struct Glyph {
    char c;
    const char* rows;
};
constexpr Glyph kFont[] = {
    {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"}, {'D', "110101101101110"},
    {'E', "111100110100111"}, {'F', "111100110100100"}, {'G', "011100101101011"}, {'H', "101101111101101"},
    {'I', "111010010010111"}, {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
    {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"}, {'P', "110101110100100"},
    {'Q', "010101101110011"}, {'R', "110101110101101"}, {'S', "011100010001110"}, {'T', "111010010010010"},
    {'U', "101101101101111"}, {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
    {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"}, {'1', "010110010010111"},
    {'2', "110001010100111"}, {'3', "110001010001110"}, {'4', "101101111001001"}, {'5', "111100110001110"},
    {'6', "011100111101111"}, {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
    {'.', "000000000000010"}, {'-', "000000111000000"}, {'_', "000000000000111"}, {'(', "001010010010001"},
    {')', "100010010010100"}, {' ', "000000000000000"}, {'?', "110001010000010"},
};

const char* GlyphRows(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& glyph : kFont)
        if (glyph.c == upper) return glyph.rows;
    return GlyphRows('?');
}

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), kBackground) {}

    void Set(int x, int y, std::uint32_t colour) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<size_t>(y * width_ + x)] = colour;
    }
    void Fill(int x, int y, int w, int h, std::uint32_t colour) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) Set(i, j, colour);
    }
    void Outline(int x, int y, int w, int h, std::uint32_t colour) {
        Fill(x, y, w, 1, colour);
        Fill(x, y + h - 1, w, 1, colour);
        Fill(x, y, 1, h, colour);
        Fill(x + w - 1, y, 1, h, colour);
    }
    // Text in the 3 x 5 font, each font pixel `size` pixels wide; returns
    // the width drawn.
    int Text(int x, int y, const std::string& text, std::uint32_t colour, int size) {
        int at = x;
        for (char c : text) {
            const char* rows = GlyphRows(c);
            for (int row = 0; row < 5; ++row)
                for (int col = 0; col < 3; ++col)
                    if (rows[row * 3 + col] == '1') Fill(at + col * size, y + row * size, size, size, colour);
            at += 4 * size;
        }
        return at - x - size;
    }
    // A label on a dark box, at twice the font's size where it fits `room`.
    void Label(int x, int y, const std::string& text, std::uint32_t colour, int room) {
        const int length = static_cast<int>(text.size());
        const int size = length * 8 - 2 + 2 <= room ? 2 : 1;
        Fill(x, y, (length * 4 - 1) * size + 2, 5 * size + 2, kLabelBack);
        Text(x + 1, y + 1, text, colour, size);
    }

    // A bottom-up 24-bit Windows bitmap with a BITMAPINFOHEADER.
    std::vector<unsigned char> Bitmap() const {
        const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
        const size_t size = 54 + stride * static_cast<size_t>(height_);
        std::vector<unsigned char> file(size, 0);
        auto put = [&](size_t at, std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) file[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
        };
        file[0] = 'B';
        file[1] = 'M';
        put(2, static_cast<std::uint32_t>(size), 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, static_cast<std::uint32_t>(width_), 4);
        put(22, static_cast<std::uint32_t>(height_), 4);
        put(26, 1, 2);
        put(28, 24, 2);
        put(34, static_cast<std::uint32_t>(stride * static_cast<size_t>(height_)), 4);
        put(38, 2835, 4);  // 72 dots per inch
        put(42, 2835, 4);
        for (int y = 0; y < height_; ++y) {
            size_t at = 54 + stride * static_cast<size_t>(height_ - 1 - y);
            for (int x = 0; x < width_; ++x, at += 3) put(at, pixels_[static_cast<size_t>(y * width_ + x)], 3);
        }
        return file;
    }

private:
    int width_, height_;
    std::vector<std::uint32_t> pixels_;
};

void DrawPanel(Canvas& canvas, int left, int top, const WindowPixels& pixels, const std::vector<Spot>& spots) {
    for (int y = 0; y < kWindowHeight; ++y)
        for (int x = 0; x < kWindowWidth; ++x) {
            std::uint32_t colour = pixels.empty() ? kNoPixel : pixels[static_cast<size_t>(y * kWindowWidth + x)];
            if (colour == kNoPixel) colour = ((x / 4 + y / 4) % 2) ? kBareLight : kBareDark;
            canvas.Fill(left + x * kScale, top + y * kScale, kScale, kScale, colour);
        }
    if (pixels.empty()) canvas.Text(left + 8, top + 8, "NOT LOADED", kText, 2);
    for (const Spot& spot : spots) {
        const PixelRect& r = spot.place;
        canvas.Outline(left + r.left * kScale, top + r.top * kScale, r.width * kScale, r.height * kScale, spot.colour);
    }
    // Labels after every outline, so that no outline crosses a label.
    for (const Spot& spot : spots)
        canvas.Label(left + spot.place.left * kScale + 2, top + spot.place.top * kScale + 2, spot.label, spot.colour,
                     spot.place.width * kScale - 4);
}

}  // namespace

std::vector<unsigned char> ContactSheet(const std::vector<SkinReport>& skins) {
    const int count = std::max(1, static_cast<int>(skins.size()));
    const int columns = std::min(count, kColumnsPerRow);
    const int rows = (count + kColumnsPerRow - 1) / kColumnsPerRow;
    Canvas canvas(kMargin + columns * (kPanelWidth + kMargin), kMargin + rows * (kColumnHeight + kMargin));
    for (size_t s = 0; s < skins.size(); ++s) {
        const int left = kMargin + static_cast<int>(s % kColumnsPerRow) * (kPanelWidth + kMargin);
        int top = kMargin + static_cast<int>(s / kColumnsPerRow) * (kColumnHeight + kMargin);
        canvas.Text(left, top, skins[s].name, kText, 2);
        top += kCaption;
        for (size_t p = 0; p < 3; ++p) {
            canvas.Text(left, top, kSkinPictures[p], kText, 2);
            top += kCaption;
            DrawPanel(canvas, left, top, skins[s].pictures[p], PictureSpots(p));
            top += kPanelHeight + kPanelGap;
        }
    }
    return canvas.Bitmap();
}

}  // namespace snickit
