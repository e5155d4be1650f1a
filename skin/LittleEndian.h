// Numbers as BMP and WAV files store them: little-endian, at any alignment.
#pragma once

#include <cstdint>

namespace snickit {

inline std::uint32_t Get32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint16_t Get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace snickit
