// Checks what a bitmap file declares, and decodes the part of it that is
// ever shown. Skins come from strangers: a header that declares more pixels
// than the file holds, or sizes no skin needs, would make a system's decoder
// allocate and fill gigabytes (or read past the data) before it notices. So
// no system decoder sees a skin's picture: this one reads every valid BMP
// layout itself, the same on every system, and keeps only the window-sized
// top-left part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit {

// The largest picture accepted, in pixels each way.
inline constexpr int kMaxBitmapSide = 4096;
// The largest bitmap file read at all, checked from the file's size before
// reading. The file is held whole while its top-left part is decoded, so
// this is most of what a picture costs at its peak: 16 MiB holds a 4096 x
// 4096 picture of 8 bits, 2048 x 2048 of 32. A skin picture is 68 KB.
inline constexpr std::size_t kMaxBitmapFileBytes = (std::size_t{16} << 20) + (std::size_t{64} << 10);
// The part of a skin's picture that is kept: the window's design size. The
// window shows nothing of a picture beyond it (and scales what it shows).
inline constexpr int kKeptBitmapWidth = 240;
inline constexpr int kKeptBitmapHeight = 95;

struct BitmapVerdict {
    bool ok = false;
    std::string why;  // a plain sentence when not ok ("declares 65535 x 65535 pixels; ...")
    int width = 0, height = 0, bitsPerPixel = 0;  // height is positive either way up
};

// Checks a whole BMP file's headers against the file: "BM"; an OS/2 1.x
// header (12 bytes), an OS/2 2.x one (16 to 64 bytes) or a Windows one (40,
// 52, 56, 108 or 124); one plane; 1/2/4/8/16/24/32 bits per pixel; no
// compression, RLE8/RLE4 (bottom-up only) or bit fields (16/32 bits, each
// mask one run of bits, none shared); a palette that fits its depth; sides
// of 1 to kMaxBitmapSide; the palette and pixel data inside the file.
BitmapVerdict CheckBitmap(const std::vector<unsigned char>& file);

// Checks the file as CheckBitmap does, then decodes at most the top-left
// `keepWidth` x `keepHeight` pixels into `kept` (top row first). Also refuses (with a
// reason) a palette index outside the palette anywhere in the picture, and
// compressed data that paints past the picture's edges or ends before its
// end-of-bitmap mark. Pixels compressed data skips have the palette's first
// colour. Costs the kept pixels, nothing in proportion to the declared size.
BitmapVerdict DecodeBitmap(const std::vector<unsigned char>& file, int keepWidth, int keepHeight, PicturePixels& kept);

// The program's picture loader (the skin checker's too), the same on every
// system: the file read once through the host (at most kMaxBitmapFileBytes),
// checked and its top-left kKeptBitmapWidth x kKeptBitmapHeight pixels
// decoded by DecodeBitmap, the file let go, and only then the system's
// picture made of those pixels. No system decoder sees a skin's file.
// Throws FileNotFound or PathNotFound when it is missing, BadPicture for
// anything else that cannot be shown (not a regular file, too large,
// refused by the decoder, no picture made).
PictureRef LoadPictureFile(MediaHost& host, const std::string& path);

}  // namespace snickit
