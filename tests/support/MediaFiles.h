// Small BMP and WAV files built from the fields their headers declare, for
// tables of good and hostile files. Fields left alone give a valid file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace snickit::test {

inline void Put(std::string& to, std::size_t at, uint64_t value, int bytes) {
    if (to.size() < at + bytes) to.resize(at + bytes, '\0');
    for (int i = 0; i < bytes; ++i) to[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

// offset -1: right after the headers and palette; imageBytes: as declared;
// pixelBytes -1: what the sizes need; cutTo: keep only this many bytes.
struct Bmp {
    int64_t width = 240, height = 95;
    unsigned bits = 24, compression = 0, planes = 1, headerBytes = 40, colorsUsed = 0;
    int64_t offset = -1, imageBytes = 0, pixelBytes = -1, cutTo = -1;
};

inline std::string BmpFile(const Bmp& b) {
    const int64_t palette = b.bits <= 8 ? 4 * (b.colorsUsed ? b.colorsUsed : 1u << b.bits) : 0;
    const int64_t offset = b.offset >= 0 ? b.offset : 14 + b.headerBytes + palette;
    const int64_t rows = std::max(b.height, -b.height);
    const int64_t pixels = b.pixelBytes >= 0 ? b.pixelBytes : (b.width * b.bits + 31) / 32 * 4 * rows;
    std::string f = "BM";
    for (auto [at, value, bytes] : {std::tuple<int, int64_t, int>{2, 14 + b.headerBytes + palette + pixels, 4},
                                    {10, offset, 4}, {14, b.headerBytes, 4}, {18, b.width, 4}, {22, b.height, 4},
                                    {26, b.planes, 2}, {28, b.bits, 2}, {30, b.compression, 4},
                                    {34, b.imageBytes, 4}, {46, b.colorsUsed, 4}})
        Put(f, at, static_cast<uint64_t>(value), bytes);
    f.resize(static_cast<std::size_t>(14 + b.headerBytes + palette), '\0');
    f.resize(f.size() + static_cast<std::size_t>(pixels), '\x40');
    return b.cutTo >= 0 ? f.substr(0, static_cast<std::size_t>(b.cutTo)) : f;
}

// The eight colours whose channels are 0 or full: every layout holds them
// exactly, and a channel or byte order mixed up shows.
inline constexpr uint32_t kPatternColours[8] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                                0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF};

// One of BMP's layouts. masks: red, green, blue, given as bit fields when
// compression is 3 (after a header of 40 bytes, inside a longer one), else
// only used to pack 16 and 32 bits.
struct BmpLayout {
    const char* what;
    unsigned headerBytes = 40, bits = 24, compression = 0;
    bool topDown = false;
    uint32_t masks[3] = {0, 0, 0};
};

// The pattern: pixel x, y (top row first) has colour (x + 3y) mod the
// colours the layout holds (its palette, at most 8) of kPatternColours.
inline unsigned PatternIndex(const BmpLayout& l, int x, int y) {
    return static_cast<unsigned>(x + 3 * y) % (l.bits <= 8 ? std::min(8u, 1u << l.bits) : 8u);
}

// What a width x height picture of the pattern decodes to, row by row.
inline std::vector<uint32_t> PatternPixels(const BmpLayout& l, int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(kPatternColours[PatternIndex(l, x, y)]);
    return pixels;
}

// A width x height picture of the pattern in that layout.
inline std::string PatternBmp(const BmpLayout& l, int width, int height) {
    auto index = [&](int x, int y) { return PatternIndex(l, x, y); };
    static constexpr uint32_t kMasks16[3] = {0x7C00, 0x03E0, 0x1F}, kMasks32[3] = {0xFF0000, 0xFF00, 0xFF};
    const uint32_t* masks = l.masks[0] ? l.masks : l.bits == 16 ? kMasks16 : kMasks32;
    // The pixels, bottom row first unless top-down; a compressed row is a
    // literal run of its first six pixels, then runs of one (RLE8) or two
    // alternating (RLE4) pixels, then an end of line or of the bitmap.
    std::string data;
    for (int row = 0; row < height; ++row) {
        const int y = l.topDown ? row : height - 1 - row;
        std::string line((static_cast<std::size_t>(width) * l.bits + 31) / 32 * 4, '\0');
        for (int x = 0; x < width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x) * l.bits;
            const uint32_t c = kPatternColours[index(x, y)];
            const uint32_t packed = (c >> 16 ? masks[0] : 0) | (c & 0xFF00 ? masks[1] : 0) | (c & 0xFF ? masks[2] : 0);
            if (l.bits <= 8) line[bit / 8] = static_cast<char>(line[bit / 8] | index(x, y) << (8 - l.bits - bit % 8));
            else Put(line, bit / 8, l.bits == 24 ? c : packed, static_cast<int>(l.bits / 8));
        }
        if (l.compression != 1 && l.compression != 2) {
            data += line;
            continue;
        }
        const int literal = std::min(width, 6), step = 8 / static_cast<int>(l.bits);
        data += std::string{'\0', static_cast<char>(literal)} + line.substr(0, (literal * l.bits + 15) / 16 * 2);
        for (int x = literal; x < width; x += step)
            data += std::string{static_cast<char>(std::min(width - x, step)), line[x * l.bits / 8]};
        data += row + 1 < height ? std::string("\0\0", 2) : std::string("\0\1", 2);
    }
    // The headers, as BmpFile writes them (OS/2 1.x: 16-bit sizes), then the
    // bit fields (after a header of 40 bytes, inside a longer one) and the
    // palette.
    std::string f = BmpFile({.width = width, .height = l.topDown ? -height : height, .bits = l.bits,
                             .compression = l.compression, .headerBytes = l.headerBytes,
                             .imageBytes = int64_t(data.size()), .pixelBytes = 0})
                        .substr(0, 14 + l.headerBytes);
    for (auto [at, value] : {std::pair{18u, unsigned(width)}, {20u, unsigned(height)}, {22u, 1u}, {24u, l.bits}})
        if (l.headerBytes == 12) Put(f, at, value, 2);  // OS/2 1.x
    for (std::size_t i = 0; l.compression == 3 && i < 3; ++i) Put(f, 54 + 4 * i, masks[i], 4);
    for (unsigned i = 0; l.bits <= 8 && i < (1u << l.bits); ++i)
        Put(f, f.size(), kPatternColours[i % 8], l.headerBytes == 12 ? 3 : 4);
    Put(f, 10, f.size(), 4);
    f += data;
    Put(f, 2, f.size(), 4);
    return f;
}

// Every layout paint programs write and Windows draws, at odd widths.
inline std::vector<BmpLayout> ValidLayouts() {
    return {
        {"1 bit", 40, 1}, {"2 bits", 40, 2}, {"4 bits", 40, 4}, {"8 bits", 40, 8}, {"16 bits, 5-5-5", 40, 16},
        {"24 bits", 40, 24}, {"32 bits", 40, 32}, {"RLE8", 40, 8, 1}, {"RLE4", 40, 4, 2},
        {"RLE4, V4 header", 108, 4, 2}, {"top-down 8 bits", 40, 8, 0, true},
        {"top-down 32 bits, V5 header", 124, 32, 0, true},
        {"bit fields 5-6-5", 40, 16, 3, false, {0xF800, 0x07E0, 0x001F}},
        {"bit fields 5-5-5, V4 header", 108, 16, 3, false, {0x7C00, 0x03E0, 0x001F}},
        {"bit fields 4-4-4 in a 52-byte header", 52, 16, 3, false, {0x0F00, 0x00F0, 0x000F}},
        {"bit fields 32 bits blue-green-red high", 40, 32, 3, false, {0x0000FF00, 0x00FF0000, 0xFF000000}},
        {"bit fields 10-10-10, V5 header", 124, 32, 3, false, {0x3FF00000, 0x000FFC00, 0x000003FF}},
        {"bit fields 32 bits in a 56-byte header, top-down", 56, 32, 3, true, {0x00FF0000, 0x0000FF00, 0x000000FF}},
        {"OS/2 1.x, 8 bits", 12, 8}, {"OS/2 1.x, 24 bits", 12, 24}, {"OS/2 2.x, 16-byte header, 4 bits", 16, 4},
        {"OS/2 2.x, 64-byte header, 8 bits", 64, 8}, {"OS/2 2.x, 64-byte header, RLE8", 64, 8, 1},
    };
}

// blockAlign -1: channels * bits / 8; dataBytes: written; declared: the data
// chunk's declared size, -1: dataBytes; extra: appended to the 16 bytes of the
// format chunk; cutTo: keep only this many bytes.
struct Wav {
    unsigned tag = 1, channels = 1, rate = 22050, bits = 16;
    int64_t blockAlign = -1, dataBytes = 4410, declared = -1;
    bool withFormat = true, formatFirst = true, withData = true;
    std::string extra{};
    int64_t cutTo = -1;
};

inline std::string WavFile(const Wav& w) {
    const int64_t align = w.blockAlign >= 0 ? w.blockAlign : w.channels * w.bits / 8;
    std::string fmt = "fmt ", data = "data";
    for (auto [at, value, bytes] : {std::tuple<int, int64_t, int>{4, int64_t(16 + w.extra.size()), 4}, {8, w.tag, 2},
                                    {10, w.channels, 2}, {12, w.rate, 4}, {16, align * w.rate, 4}, {20, align, 2},
                                    {22, w.bits, 2}})
        Put(fmt, at, static_cast<uint64_t>(value), bytes);
    Put(data, 4, static_cast<uint64_t>(w.declared >= 0 ? w.declared : w.dataBytes), 4);
    data.resize(8 + static_cast<std::size_t>(w.dataBytes), '\x5a');
    fmt = w.withFormat ? fmt + w.extra : "";
    data = w.withData ? data : "";
    std::string f = std::string("RIFF\0\0\0\0WAVE", 12) + (w.formatFirst ? fmt + data : data + fmt);
    Put(f, 4, f.size() - 8, 4);
    return w.cutTo >= 0 ? f.substr(0, static_cast<std::size_t>(w.cutTo)) : f;
}

inline std::vector<unsigned char> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// A picture loader's answer as a number: kLoaded for a 240 x 95 picture,
// 10 + the failure kind, 99 for another size.
constexpr int kLoaded = 0;
inline int Code(FailureKind kind) { return 10 + static_cast<int>(kind); }

// A loader's answer for a picture.
inline int Answer(const std::function<PictureRef()>& load) {
    try {
        const PictureRef picture = load();
        return picture->Width() == 240 && picture->Height() == 95 ? kLoaded : 99;
    } catch (const Failure& failure) {
        return Code(failure.kind());
    }
}

// An RLE8 (or RLE4) bitmap with these compressed pixels.
inline std::string RleBmp(const std::string& data, int64_t width = 240, int64_t height = 95, unsigned bits = 8,
                          unsigned colorsUsed = 0) {
    return BmpFile({.width = width, .height = height, .bits = bits, .compression = bits == 8 ? 1u : 2u,
                    .colorsUsed = colorsUsed, .imageBytes = int64_t(data.size()), .pixelBytes = 0}) + data;
}

// path: in a folder holding Blue; file: written unless empty, then grown
// with zeros to growTo bytes (without holding them) when that is not 0.
struct PictureRow { const char* path; std::string file; int expected; std::uintmax_t growTo = 0; };

// The pictures every system's loader answers alike. The large ones cost no
// more than the file bound (16 MiB) and the window-sized part they keep.
inline std::vector<PictureRow> CommonPictureRows() {
    const int bad = Code(FailureKind::BadPicture);
    return {
        {"Blue\\good.bmp", BmpFile({}), kLoaded},
        {"Blue\\cut.bmp", BmpFile({.cutTo = 100}), bad},
        {"Blue\\greedy.bmp", BmpFile({.width = 65535, .height = 65535, .pixelBytes = 16}), bad},
        {"Blue\\large.bmp", BmpFile({.width = 6000, .height = 6000, .bits = 32, .pixelBytes = 16}), bad},
        {"Blue\\int-min.bmp", BmpFile({.height = INT32_MIN, .pixelBytes = 16}), bad},
        // 1,080 and 120 bytes declaring 4096 x 4096: nothing but the kept part is made.
        {"Blue\\rle8-4096.bmp", RleBmp(std::string("\0\1", 2), 4096, 4096), kLoaded},
        {"Blue\\rle4-4096.bmp", RleBmp(std::string("\0\1", 2), 4096, 4096, 4), kLoaded},
        // 48 MiB of pixels: longer than any picture read.
        {"Blue\\24-bit-4096.bmp", BmpFile({.width = 4096, .height = 4096, .pixelBytes = 0}), bad, 54 + 4096 * 4096 * 3},
        // The longest files read: 16 MiB of pixels.
        {"Blue\\8-bit-4096.bmp", BmpFile({.width = 4096, .height = 4096, .bits = 8, .pixelBytes = 0}), kLoaded,
         1078 + 4096 * 4096},
        {"Blue\\32-bit-2048.bmp", BmpFile({.width = 2048, .height = 2048, .bits = 32, .pixelBytes = 0}), kLoaded,
         54 + 2048 * 2048 * 4},
        // Pixels outside the two colours of the palette.
        {"Blue\\palette.bmp", BmpFile({.bits = 8, .colorsUsed = 2}), bad},
        {"Blue", "", bad},
        {"Blue\\missing.bmp", "", Code(FailureKind::FileNotFound)},
        {"Red\\box.bmp", "", Code(FailureKind::PathNotFound)},
    };
}

}  // namespace snickit::test
