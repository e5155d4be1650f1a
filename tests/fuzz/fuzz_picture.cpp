// The picture check and decoder on any bytes, and the SDL picture made of
// what it decodes.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/sdl/SdlPicture.h"
#include "skin/BitmapCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::vector<unsigned char> file(data, data + size);
    const snickit::BitmapVerdict verdict = snickit::CheckBitmap(file);
    snickit::PicturePixels kept;
    auto picture = snickit::DecodeBitmap(file, snickit::kKeptBitmapWidth, snickit::kKeptBitmapHeight, kept).ok
                       ? snickit::sdl::PictureFromPixels(kept)
                       : nullptr;
    // The decoder may still refuse what the check accepts (a palette index
    // out of range, compressed data that runs off); what it makes is the
    // checked picture's top-left part, never more than 240 x 95.
    if (picture && (!verdict.ok || picture->Width() != std::min(verdict.width, snickit::kKeptBitmapWidth) ||
                    picture->Height() != std::min(verdict.height, snickit::kKeptBitmapHeight))) {
        std::abort();
    }
    return 0;
}
