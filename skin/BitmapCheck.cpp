#include "skin/BitmapCheck.h"

#include <cstdint>

#include "skin/LittleEndian.h"

namespace snickit {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

uint32_t Get32(const std::vector<unsigned char>& b, std::size_t at) { return snickit::Get32(b.data() + at); }
uint16_t Get16(const std::vector<unsigned char>& b, std::size_t at) { return snickit::Get16(b.data() + at); }

BitmapVerdict No(std::string why) {
    BitmapVerdict verdict;
    verdict.why = std::move(why);
    return verdict;
}

std::string Bytes(uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

}  // namespace

BitmapVerdict CheckBitmap(const std::vector<unsigned char>& file) {
    const uint64_t size = file.size();
    if (size > kMaxBitmapFileBytes) {
        return No("is " + Bytes(size) + " long; a picture may have at most " + Bytes(kMaxBitmapFileBytes));
    }
    if (size < kFileHeaderBytes + 4 || file[0] != 'B' || file[1] != 'M') return No("is not a BMP file");
    const uint32_t headerBytes = Get32(file, 14);
    if (headerBytes != 40 && headerBytes != 108 && headerBytes != 124) {
        return No("has an info header of " + Bytes(headerBytes) + "; only 40, 108 and 124 are read");
    }
    if (size < kFileHeaderBytes + headerBytes) return No("ends inside its header");

    const int64_t width = static_cast<int32_t>(Get32(file, 18));
    const int64_t signedHeight = static_cast<int32_t>(Get32(file, 22));
    const int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
    const unsigned planes = Get16(file, 26);
    const unsigned bits = Get16(file, 28);
    const uint32_t compression = Get32(file, 30);
    const uint32_t imageBytes = Get32(file, 34);
    const uint32_t colorsUsed = Get32(file, 46);
    const uint32_t pixelOffset = Get32(file, 10);

    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        return No("declares " + std::to_string(width) + " x " + std::to_string(signedHeight) + " pixels; at most " +
                  std::to_string(kMaxBitmapSide) + " x " + std::to_string(kMaxBitmapSide) + " are read");
    }
    if (planes != 1) return No("declares " + std::to_string(planes) + " planes instead of 1");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return No("declares " + std::to_string(bits) + " bits per pixel; only 1, 4, 8, 16, 24 and 32 are read");
    }
    const bool rle = compression == kRle8 || compression == kRle4;
    const bool fitting = compression == kRgb || (compression == kRle8 && bits == 8) ||
                         (compression == kRle4 && bits == 4) ||
                         (compression == kBitFields && (bits == 16 || bits == 32));
    if (!fitting) {
        return No("declares compression " + std::to_string(compression) + " with " + std::to_string(bits) +
                  " bits per pixel, which is not read");
    }
    if (rle && signedHeight < 0) return No("is compressed and top-down, which BMP does not allow");

    // What lies between the headers and the pixels: the bit masks of an
    // info header of 40 bytes, then the palette.
    const uint64_t masks = (compression == kBitFields && headerBytes == 40) ? 12 : 0;
    const uint64_t maxColors = bits <= 8 ? (uint64_t{1} << bits) : 256;
    if (colorsUsed > maxColors) {
        return No("declares a palette of " + std::to_string(colorsUsed) + " colours; at most " +
                  std::to_string(maxColors) + " fit " + std::to_string(bits) + " bits per pixel");
    }
    const uint64_t colors = (bits <= 8 && colorsUsed == 0) ? maxColors : colorsUsed;
    const uint64_t tablesEnd = kFileHeaderBytes + headerBytes + masks + 4 * colors;
    if (tablesEnd > size) return No("ends inside its palette");
    if (pixelOffset < tablesEnd || pixelOffset >= size) {
        return No("puts its pixels at byte " + std::to_string(pixelOffset) + ", outside the " +
                  std::to_string(tablesEnd) + " to " + std::to_string(size) + " its headers leave");
    }
    const uint64_t available = size - pixelOffset;
    if (imageBytes > available) {
        return No("declares " + Bytes(imageBytes) + " of pixels, but only " + Bytes(available) + " follow");
    }
    if (rle) {
        if (imageBytes == 0) return No("is compressed but does not say how long its pixel data is");
    } else {
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        if (rowBytes * static_cast<uint64_t>(height) > available) {
            return No("needs " + Bytes(rowBytes * static_cast<uint64_t>(height)) + " of pixels, but only " +
                      Bytes(available) + " follow");
        }
    }
    BitmapVerdict verdict;
    verdict.ok = true;
    verdict.width = static_cast<int>(width);
    verdict.height = static_cast<int>(height);
    verdict.bitsPerPixel = static_cast<int>(bits);
    return verdict;
}

}  // namespace snickit
