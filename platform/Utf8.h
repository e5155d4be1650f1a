// UTF-8, the program's text inside: the one decoder (and encoder) that the
// core, the backends and their file services share. Platform-neutral.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace snickit::utf8 {

// What Next gives for a byte that does not start a well-formed sequence.
constexpr char32_t kMalformed = 0xFFFFFFFF;

// The character at `at`, which is moved past it. A byte that does not start
// a well-formed sequence (a stray continuation byte, a sequence cut short,
// an overlong form, a surrogate, beyond U+10FFFF) gives kMalformed and is
// passed alone, so that decoding goes on at the next byte.
constexpr char32_t Next(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at++);
    if (lead < 0x80) return lead;
    const int more = lead >= 0xF0 ? (lead <= 0xF4 ? 3 : -1) : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (more < 0 || text.size() - at < static_cast<std::size_t>(more)) return kMalformed;
    char32_t code = lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        if ((byte(at + static_cast<std::size_t>(i)) & 0xC0) != 0x80) return kMalformed;
        code = code << 6 | (byte(at + static_cast<std::size_t>(i)) & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kMalformed;
    at += static_cast<std::size_t>(more);
    return code;
}

// Whether all of `text` is well-formed UTF-8.
constexpr bool IsValid(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (Next(text, at) == kMalformed) return false;
    }
    return true;
}

// Appends a character (at most U+10FFFF, no surrogate) in UTF-8.
inline void Append(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace snickit::utf8
