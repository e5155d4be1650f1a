// STAND-IN until the picture check lands: the declaration the skin checker
// is written against, with a minimal header check behind it.
#pragma once

#include <string>
#include <vector>

namespace snickit {

struct BitmapVerdict {
    bool ok = false;
    std::string why;
    int width = 0, height = 0, bitsPerPixel = 0;
};

BitmapVerdict CheckBitmap(const std::vector<unsigned char>& file);

}  // namespace snickit
