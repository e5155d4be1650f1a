// Checks what a bitmap file declares before any library decodes it. Skins
// come from strangers: a header that declares more pixels than the file
// holds, or sizes no skin needs, would make a decoder allocate and fill
// gigabytes (or read past the data) before it notices.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace snickit {

// The largest picture accepted, in pixels each way. A skin picture is
// 240 x 95; this leaves room for anything a skin might sensibly hold.
inline constexpr int kMaxBitmapSide = 4096;
// The largest bitmap file read at all, checked from the file's size before
// reading: a 4096 x 4096 picture at 32 bits (64 MiB) plus generous headers.
// A skin picture is 68 KB.
inline constexpr std::size_t kMaxBitmapFileBytes = (std::size_t{64} << 20) + (std::size_t{64} << 10);

struct BitmapVerdict {
    bool ok = false;
    std::string why;  // a plain sentence when not ok ("declares 65535 x 65535 pixels; ...")
    int width = 0, height = 0, bitsPerPixel = 0;  // height is positive either way up
};

// Checks a whole BMP file: "BM", an info header of 40 bytes or the V4 (108)
// or V5 (124) kind, one plane, 1/4/8/16/24/32 bits per pixel, no compression,
// RLE8/RLE4 (bottom-up only) or bit fields (16/32 bits), a palette that fits
// its depth, sides of 1 to kMaxBitmapSide, and the palette and pixel data
// inside the file.
BitmapVerdict CheckBitmap(const std::vector<unsigned char>& file);

}  // namespace snickit
