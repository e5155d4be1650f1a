#include "skin/BitmapCheck.h"

#include <algorithm>
#include <bit>

#include "skin/LittleEndian.h"

namespace snickit {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
// Where an info header of 40 bytes or more keeps the bit masks (or where
// they follow one of exactly 40 bytes).
constexpr std::size_t kMasksAt = kFileHeaderBytes + 40;
enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

BitmapVerdict No(std::string why) {
    BitmapVerdict verdict;
    verdict.why = std::move(why);
    return verdict;
}

BitmapVerdict Yes() {
    BitmapVerdict verdict;
    verdict.ok = true;
    return verdict;
}

std::string Bytes(uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

bool WindowsHeader(uint32_t bytes) { return bytes == 40 || bytes == 52 || bytes == 56 || bytes == 108 || bytes == 124; }

// What the headers say, once checked against the file.
struct Layout {
    int64_t width = 0, height = 0;
    bool topDown = false;
    unsigned bits = 0;
    uint32_t compression = kRgb;
    uint64_t pixelOffset = 0, imageBytes = 0, rowBytes = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    uint32_t masks[3] = {};         // red, green, blue of 16 and 32 bits
};

BitmapVerdict Examine(const std::vector<unsigned char>& file, Layout& out) {
    const uint64_t size = file.size();
    if (size > kMaxBitmapFileBytes) {
        return No("is " + Bytes(size) + " long; a picture may have at most " + Bytes(kMaxBitmapFileBytes));
    }
    if (size < kFileHeaderBytes + 4 || file[0] != 'B' || file[1] != 'M') return No("is not a BMP file");
    const uint32_t headerBytes = Get32(file.data() + 14);
    const bool os2v1 = headerBytes == 12;
    const bool windows = WindowsHeader(headerBytes);
    if (!os2v1 && !windows && (headerBytes < 16 || headerBytes > 64)) {
        return No("has an info header of " + Bytes(headerBytes) + "; only 12, 16 to 64, 108 and 124 are read");
    }
    if (size < kFileHeaderBytes + headerBytes) return No("ends inside its header");
    // A field the header is too short to hold (an OS/2 2.x header may end
    // early) reads as zero.
    auto field = [&](std::size_t at, int bytes) -> uint32_t {
        if (at + static_cast<std::size_t>(bytes) > kFileHeaderBytes + headerBytes) return 0;
        return bytes == 2 ? Get16(file.data() + at) : Get32(file.data() + at);
    };
    const int64_t width = os2v1 ? int64_t{field(18, 2)} : int64_t{static_cast<int32_t>(field(18, 4))};
    const int64_t signedHeight = os2v1 ? int64_t{field(20, 2)} : int64_t{static_cast<int32_t>(field(22, 4))};
    const int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
    const unsigned planes = os2v1 ? field(22, 2) : field(26, 2);
    const unsigned bits = os2v1 ? field(24, 2) : field(28, 2);
    const uint32_t compression = field(30, 4);
    const uint32_t imageBytes = field(34, 4);
    const uint32_t colorsUsed = field(46, 4);
    const uint32_t pixelOffset = Get32(file.data() + 10);

    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        return No("declares " + std::to_string(width) + " x " + std::to_string(signedHeight) + " pixels; at most " +
                  std::to_string(kMaxBitmapSide) + " x " + std::to_string(kMaxBitmapSide) + " are read");
    }
    if (planes != 1) return No("declares " + std::to_string(planes) + " planes instead of 1");
    const bool readDepth = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24 ||
                           (!os2v1 && (bits == 16 || bits == 32));
    if (!readDepth) {
        return No("declares " + std::to_string(bits) + " bits per pixel; only 1, 2, 4, 8, 16, 24 and 32 are read" +
                  (os2v1 ? " (not 16 or 32 in an OS/2 1.x bitmap)" : ""));
    }
    const bool rle = compression == kRle8 || compression == kRle4;
    // In an OS/2 2.x header, 3 and 4 are Huffman and RLE24, never written
    // by paint programs: not read.
    const bool fitting = compression == kRgb || (compression == kRle8 && bits == 8) ||
                         (compression == kRle4 && bits == 4) ||
                         (compression == kBitFields && windows && (bits == 16 || bits == 32));
    if (!fitting) {
        return No("declares compression " + std::to_string(compression) + " with " + std::to_string(bits) +
                  " bits per pixel, which is not read");
    }
    if (rle && signedHeight < 0) return No("is compressed and top-down, which BMP does not allow");

    // What lies between the headers and the pixels: the bit masks after an
    // info header of 40 bytes, then the palette (3 bytes a colour in OS/2 1.x).
    const uint64_t masks = (compression == kBitFields && headerBytes == 40) ? 12 : 0;
    const uint64_t maxColors = bits <= 8 ? (uint64_t{1} << bits) : 256;
    if (colorsUsed > maxColors) {
        return No("declares a palette of " + std::to_string(colorsUsed) + " colours; at most " +
                  std::to_string(maxColors) + " fit " + std::to_string(bits) + " bits per pixel");
    }
    const uint64_t colors = (bits <= 8 && colorsUsed == 0) ? maxColors : colorsUsed;
    const uint64_t entryBytes = os2v1 ? 3 : 4;
    const uint64_t paletteAt = kFileHeaderBytes + headerBytes + masks;
    const uint64_t tablesEnd = paletteAt + entryBytes * colors;
    if (tablesEnd > size) return No("ends inside its palette");
    if (pixelOffset < tablesEnd || pixelOffset >= size) {
        return No("puts its pixels at byte " + std::to_string(pixelOffset) + ", outside the " +
                  std::to_string(tablesEnd) + " to " + std::to_string(size) + " its headers leave");
    }
    const uint64_t available = size - pixelOffset;
    if (imageBytes > available) {
        return No("declares " + Bytes(imageBytes) + " of pixels, but only " + Bytes(available) + " follow");
    }
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (rle) {
        if (imageBytes == 0) return No("is compressed but does not say how long its pixel data is");
    } else if (rowBytes * static_cast<uint64_t>(height) > available) {
        return No("needs " + Bytes(rowBytes * static_cast<uint64_t>(height)) + " of pixels, but only " +
                  Bytes(available) + " follow");
    }
    if (bits == 16 || bits == 32) {
        const bool own = compression == kBitFields;
        for (int i = 0; i < 3; ++i) {
            const uint32_t mask16[3] = {0x7C00, 0x03E0, 0x001F};
            const uint32_t mask32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
            out.masks[i] = own ? Get32(file.data() + kMasksAt + 4 * i) : bits == 16 ? mask16[i] : mask32[i];
        }
        const uint32_t all = out.masks[0] | out.masks[1] | out.masks[2];
        for (uint32_t mask : out.masks) {
            const uint32_t run = mask >> std::countr_zero(mask | 0x80000000u);
            if (mask == 0 || (run & (run + 1)) != 0 || (bits == 16 && mask > 0xFFFF) ||
                std::popcount(all) != std::popcount(out.masks[0]) + std::popcount(out.masks[1]) + std::popcount(out.masks[2])) {
                return No("has colour masks that are not three separate runs of bits inside its pixels");
            }
        }
    }
    out.width = width;
    out.height = height;
    out.topDown = signedHeight < 0;
    out.bits = bits;
    out.compression = compression;
    out.pixelOffset = pixelOffset;
    out.imageBytes = imageBytes;
    out.rowBytes = rowBytes;
    out.palette.resize(colors);
    for (uint64_t i = 0; i < colors; ++i) {
        const unsigned char* entry = file.data() + paletteAt + entryBytes * i;
        out.palette[i] = uint32_t{entry[2]} << 16 | uint32_t{entry[1]} << 8 | entry[0];
    }
    BitmapVerdict verdict;
    verdict.ok = true;
    verdict.width = static_cast<int>(width);
    verdict.height = static_cast<int>(height);
    verdict.bitsPerPixel = static_cast<int>(bits);
    return verdict;
}

// One channel of a bit-field pixel, widened or narrowed to 8 bits.
uint32_t Channel(uint32_t raw, uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    const uint32_t value = (raw & mask) >> shift;
    if (width >= 8) return value >> (width - 8);
    const uint32_t top = (uint32_t{1} << width) - 1;
    return (value * 255 + top / 2) / top;
}

std::string BadIndex(uint32_t index, std::size_t colors) {
    return "uses colour " + std::to_string(index) + " of a palette of " + std::to_string(colors);
}

// Rows stored as they are. Palette indexes are checked all over the picture
// when the palette is shorter than the depth allows; only the kept rows are
// decoded otherwise.
BitmapVerdict DecodeRows(const std::vector<unsigned char>& file, const Layout& l, PicturePixels& kept) {
    const std::size_t colors = l.palette.size();
    const bool checkIndexes = l.bits <= 8 && colors < (std::size_t{1} << l.bits);
    for (int64_t fileRow = 0; fileRow < l.height; ++fileRow) {
        const int64_t y = l.topDown ? fileRow : l.height - 1 - fileRow;
        const bool keep = y < kept.height;
        if (!keep && !checkIndexes) continue;
        const unsigned char* row = file.data() + l.pixelOffset + static_cast<uint64_t>(fileRow) * l.rowBytes;
        const int64_t count = checkIndexes ? l.width : kept.width;
        uint32_t* to = keep ? kept.pixels.data() + y * kept.width : nullptr;
        for (int64_t x = 0; x < count; ++x) {
            uint32_t colour = 0;
            if (l.bits <= 8) {
                const uint64_t bit = static_cast<uint64_t>(x) * l.bits;
                const uint32_t index = (row[bit / 8] >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
                if (index >= colors) return No(BadIndex(index, colors));
                colour = l.palette[index];
            } else if (l.bits == 24) {
                colour = uint32_t{row[3 * x + 2]} << 16 | uint32_t{row[3 * x + 1]} << 8 | row[3 * x];
            } else {
                const uint32_t raw = l.bits == 16 ? Get16(row + 2 * x) : Get32(row + 4 * x);
                colour = Channel(raw, l.masks[0]) << 16 | Channel(raw, l.masks[1]) << 8 | Channel(raw, l.masks[2]);
            }
            if (to && x < kept.width) to[x] = colour;
        }
    }
    return Yes();
}

// RLE8 and RLE4: runs of one index (two alternating ones in RLE4), literal
// runs, ends of lines, moves, and the end-of-bitmap mark; bottom row first.
BitmapVerdict DecodeRle(const std::vector<unsigned char>& file, const Layout& l, PicturePixels& kept) {
    const bool rle8 = l.compression == kRle8;
    const std::size_t colors = l.palette.size();
    std::fill(kept.pixels.begin(), kept.pixels.end(), l.palette[0]);
    const unsigned char* p = file.data() + l.pixelOffset;
    const unsigned char* const end = p + l.imageBytes;
    int64_t x = 0, row = 0;  // row: counted from the bottom
    // `count` pixels from x on; index(i) is the i-th one's palette index.
    auto paint = [&](int64_t count, auto index) -> std::string {
        if (row >= l.height || x + count > l.width) return "has compressed pixels past the picture's edges";
        const int64_t y = l.height - 1 - row;
        for (int64_t i = 0; i < count; ++i) {
            const uint32_t at = index(i);
            if (at >= colors) return BadIndex(at, colors);
            if (y < kept.height && x + i < kept.width) kept.pixels[y * kept.width + x + i] = l.palette[at];
            else if (i >= 2) break;  // a run's first two indexes are all its indexes
        }
        x += count;
        return "";
    };
    for (;;) {
        if (end - p < 2) return No("ends its compressed pixels before their end-of-bitmap mark");
        const unsigned a = p[0], b = p[1];
        p += 2;
        std::string why;
        if (a > 0) {
            why = paint(a, [&](int64_t i) { return rle8 ? b : (i % 2 ? b & 15u : b >> 4); });
        } else if (b == 0) {
            x = 0;
            ++row;
        } else if (b == 1) {
            return Yes();
        } else if (b == 2) {
            if (end - p < 2) return No("ends its compressed pixels inside a move");
            x += p[0];
            row += p[1];
            p += 2;
        } else {
            const int64_t bytes = rle8 ? b : (b + 1) / 2;
            const int64_t padded = (bytes + 1) / 2 * 2;
            if (end - p < padded) return No("ends its compressed pixels inside a literal run");
            const unsigned char* literal = p;
            // A literal run's indexes all differ: check each (no early stop).
            for (int64_t i = 0; i < b && why.empty(); ++i) {
                const uint32_t at = rle8 ? literal[i] : (i % 2 ? literal[i / 2] & 15u : literal[i / 2] >> 4);
                if (at >= colors) why = BadIndex(at, colors);
            }
            if (why.empty()) why = paint(b, [&](int64_t i) { return rle8 ? literal[i] : (i % 2 ? literal[i / 2] & 15u : literal[i / 2] >> 4); });
            p += padded;
        }
        if (!why.empty()) return No(why);
    }
}

}  // namespace

BitmapVerdict CheckBitmap(const std::vector<unsigned char>& file) {
    Layout layout;
    return Examine(file, layout);
}

BitmapVerdict DecodeBitmap(const std::vector<unsigned char>& file, int keepWidth, int keepHeight, PicturePixels& kept) {
    kept = {};
    Layout layout;
    BitmapVerdict verdict = Examine(file, layout);
    if (!verdict.ok) return verdict;
    PicturePixels part;
    part.width = static_cast<int>(std::min<int64_t>(layout.width, std::max(keepWidth, 1)));
    part.height = static_cast<int>(std::min<int64_t>(layout.height, std::max(keepHeight, 1)));
    part.pixels.assign(static_cast<std::size_t>(part.width) * static_cast<std::size_t>(part.height), 0);
    const BitmapVerdict decoded = layout.compression == kRle8 || layout.compression == kRle4
                                      ? DecodeRle(file, layout, part)
                                      : DecodeRows(file, layout, part);
    if (!decoded.ok) return decoded;
    kept = std::move(part);
    return verdict;
}

PictureRef LoadPictureFile(MediaHost& host, const std::string& path) {
    PicturePixels kept;
    bool decoded = false;
    {
        const BinaryFile file = host.ReadBinaryFile(path, kMaxBitmapFileBytes);
        if (file.failure == FailureKind::FileNotFound || file.failure == FailureKind::PathNotFound)
            throw Failure(*file.failure, path);
        decoded = file && DecodeBitmap(file.bytes, kKeptBitmapWidth, kKeptBitmapHeight, kept).ok;
    }
    PictureRef picture = decoded ? host.MakePicture(kept) : nullptr;
    if (!picture) throw Failure(FailureKind::BadPicture, path);
    return picture;
}

}  // namespace snickit
