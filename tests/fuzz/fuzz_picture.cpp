// The picture check on any bytes, and SDL's loader on whatever it accepts.
#include <cstdlib>
#include <vector>

#include "platform/sdl/SdlPicture.h"
#include "skin/BitmapCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::vector<unsigned char> file(data, data + size);
    const snickit::BitmapVerdict verdict = snickit::CheckBitmap(file);
    auto picture = snickit::sdl::DecodeCheckedBmp(file);
    // SDL may still refuse what the check accepts (a palette index out of
    // range); what it loads has the checked size.
    if (picture && (!verdict.ok || picture->Width() != verdict.width || picture->Height() != verdict.height)) {
        std::abort();
    }
    return 0;
}
