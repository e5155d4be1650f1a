// STAND-IN until the sound check lands: the declaration the skin checker is
// written against, with a minimal RIFF check behind it.
#pragma once

#include <string>
#include <vector>

namespace snickit {

struct WaveVerdict {
    bool ok = false;
    std::string why;
    int formatTag = 0, channels = 0, rate = 0, bits = 0;
    double seconds = 0;
};

WaveVerdict CheckWave(const std::vector<unsigned char>& file);

}  // namespace snickit
