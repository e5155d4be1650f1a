// STAND-IN until the picture check lands: reads the header's sizes only.
#include "skin/BitmapCheck.h"

#include <cstdint>

namespace snickit {

BitmapVerdict CheckBitmap(const std::vector<unsigned char>& file) {
    BitmapVerdict verdict;
    auto get32 = [&](size_t at) {
        return static_cast<std::int32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
                                         static_cast<std::uint32_t>(file[at + 3]) << 24);
    };
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') {
        verdict.why = "is not a Windows bitmap";
        return verdict;
    }
    verdict.width = get32(18);
    verdict.height = get32(22) < 0 ? -get32(22) : get32(22);
    verdict.bitsPerPixel = file[28] | file[29] << 8;
    verdict.ok = verdict.width > 0 && verdict.height > 0;
    if (!verdict.ok) verdict.why = "declares no pixels";
    return verdict;
}

}  // namespace snickit
