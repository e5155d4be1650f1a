// STAND-IN until the sound check lands: walks the chunks to "fmt " and
// "data" only.
#include "pad/WaveCheck.h"

#include <cstdint>
#include <cstring>

namespace snickit {

WaveVerdict CheckWave(const std::vector<unsigned char>& file) {
    WaveVerdict verdict;
    auto get = [&](size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = value << 8 | file[at + static_cast<size_t>(i)];
        return value;
    };
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
        verdict.why = "is not a WAV file";
        return verdict;
    }
    int blockAlign = 0;
    for (size_t at = 12; at + 8 <= file.size();) {
        const std::uint32_t size = get(at + 4, 4);
        if (std::memcmp(file.data() + at, "fmt ", 4) == 0 && size >= 16 && at + 24 <= file.size()) {
            verdict.formatTag = static_cast<int>(get(at + 8, 2));
            verdict.channels = static_cast<int>(get(at + 10, 2));
            verdict.rate = static_cast<int>(get(at + 12, 4));
            blockAlign = static_cast<int>(get(at + 20, 2));
            verdict.bits = static_cast<int>(get(at + 22, 2));
        } else if (std::memcmp(file.data() + at, "data", 4) == 0) {
            if (verdict.rate <= 0 || blockAlign <= 0 || size > file.size() - at - 8) break;
            verdict.seconds = static_cast<double>(size / static_cast<std::uint32_t>(blockAlign)) / verdict.rate;
            verdict.ok = true;
            return verdict;
        }
        at += 8 + static_cast<size_t>(size) + (size & 1);
    }
    verdict.why = "has no sound data that can be played";
    return verdict;
}

}  // namespace snickit
