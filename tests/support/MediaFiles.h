// Small BMP and WAV files built from the fields their headers declare, for
// tables of good and hostile files. Fields left alone give a valid file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
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
    const int64_t rows = b.height < 0 ? -b.height : b.height;
    const int64_t pixels = b.pixelBytes >= 0 ? b.pixelBytes : (b.width * b.bits + 31) / 32 * 4 * rows;
    std::string f = "BM";
    for (auto [at, value, bytes] : {std::tuple<int, int64_t, int>{2, 14 + b.headerBytes + palette + pixels, 4},
                                    {10, offset, 4}, {14, b.headerBytes, 4}, {18, b.width, 4}, {22, b.height, 4},
                                    {26, b.planes, 2}, {28, b.bits, 2}, {30, b.compression, 4},
                                    {34, b.imageBytes, 4}, {46, b.colorsUsed, 4}})
        Put(f, at, static_cast<uint64_t>(value), bytes);
    f.resize(static_cast<std::size_t>(14 + b.headerBytes + palette), '\0');
    f.resize(f.size() + static_cast<std::size_t>(pixels), '\x40');
    if (b.cutTo >= 0) f.resize(static_cast<std::size_t>(b.cutTo));
    return f;
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
    std::string fmt = "fmt ";
    const int64_t align = w.blockAlign >= 0 ? w.blockAlign : w.channels * w.bits / 8;
    for (auto [at, value, bytes] : {std::tuple<int, int64_t, int>{4, int64_t(16 + w.extra.size()), 4}, {8, w.tag, 2},
                                    {10, w.channels, 2}, {12, w.rate, 4}, {16, align * w.rate, 4}, {20, align, 2},
                                    {22, w.bits, 2}})
        Put(fmt, at, static_cast<uint64_t>(value), bytes);
    fmt += w.extra;
    std::string data = "data";
    Put(data, 4, static_cast<uint64_t>(w.declared >= 0 ? w.declared : w.dataBytes), 4);
    data.resize(8 + static_cast<std::size_t>(w.dataBytes), '\x5a');
    std::string body = "WAVE";
    if (w.withFormat && w.formatFirst) body += fmt;
    if (w.withData) body += data;
    if (w.withFormat && !w.formatFirst) body += fmt;
    std::string f = "RIFF";
    Put(f, 4, body.size(), 4);
    f += body;
    if (w.cutTo >= 0) f.resize(static_cast<std::size_t>(w.cutTo));
    return f;
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

// path: in a folder holding Blue; file: written unless empty.
struct PictureRow { const char* path; std::string file; int expected; };

// The pictures every system's loader answers alike.
inline std::vector<PictureRow> CommonPictureRows() {
    const int bad = Code(FailureKind::BadPicture);
    return {
        {"Blue\\good.bmp", BmpFile({}), kLoaded},
        {"Blue\\cut.bmp", BmpFile({.cutTo = 100}), bad},
        {"Blue\\greedy.bmp", BmpFile({.width = 65535, .height = 65535, .pixelBytes = 16}), bad},
        {"Blue\\large.bmp", BmpFile({.width = 6000, .height = 6000, .bits = 32, .pixelBytes = 16}), bad},
        {"Blue\\int-min.bmp", BmpFile({.height = INT32_MIN, .pixelBytes = 16}), bad},
        {"Blue", "", bad},
        {"Blue\\missing.bmp", "", Code(FailureKind::FileNotFound)},
        {"Red\\box.bmp", "", Code(FailureKind::PathNotFound)},
    };
}

}  // namespace snickit::test
