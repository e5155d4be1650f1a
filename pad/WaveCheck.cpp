#include "pad/WaveCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "skin/LittleEndian.h"

namespace snickit {

namespace {

enum Format : unsigned {
    kPcm = 1, kMsAdpcm = 2, kFloat = 3, kALaw = 6, kMuLaw = 7, kImaAdpcm = 0x11, kExtensible = 0xFFFE
};
// The tail of the sub-format GUIDs of the extensible format, after the tag.
constexpr unsigned char kGuidTail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};

WaveVerdict No(std::string why) {
    WaveVerdict verdict;
    verdict.why = std::move(why);
    return verdict;
}

std::string Number(uint64_t n) { return std::to_string(n); }

// Reads the format chunk into `v`; an empty text when it is one we play.
std::string ReadFormat(const unsigned char* fmt, uint64_t length, WaveVerdict& v, unsigned& blockAlign,
                       unsigned& samplesPerBlock) {
    if (length < 16) return "has a format chunk of " + Number(length) + " bytes; it needs 16";
    v.formatTag = static_cast<int>(Get16(fmt));
    v.channels = static_cast<int>(Get16(fmt + 2));
    v.rate = static_cast<int>(std::min<uint32_t>(Get32(fmt + 4), 0x7fffffff));
    blockAlign = Get16(fmt + 12);
    v.bits = static_cast<int>(Get16(fmt + 14));
    const unsigned extra = length >= 18 ? Get16(fmt + 16) : 0;
    if (v.formatTag == kExtensible) {
        if (length < 40 || extra < 22 || std::memcmp(fmt + 26, kGuidTail, sizeof kGuidTail) != 0) {
            return "has an extensible format without a known sub-format";
        }
        v.formatTag = static_cast<int>(Get16(fmt + 24));
        if (v.formatTag != kPcm && v.formatTag != kFloat) {
            return "has the extensible format with sub-format " + Number(v.formatTag) + ", which is not played";
        }
    }
    if (v.channels < 1 || v.channels > kMaxWaveChannels) {
        return "has " + Number(v.channels) + " channels; 1 to " + Number(kMaxWaveChannels) + " are played";
    }
    if (v.rate < kMinWaveRate || v.rate > kMaxWaveRate) {
        return "plays at " + Number(Get32(fmt + 4)) + " Hz; " + Number(kMinWaveRate) + " to " + Number(kMaxWaveRate) +
               " Hz are played";
    }
    if (blockAlign == 0) return "declares a block alignment of 0";
    const unsigned channels = static_cast<unsigned>(v.channels);
    unsigned frameBytes = 0;  // of the formats without blocks of their own
    switch (v.formatTag) {
        case kPcm:
            if (v.bits == 8 || v.bits == 16 || v.bits == 24 || v.bits == 32) frameBytes = channels * v.bits / 8;
            break;
        case kFloat:
            if (v.bits == 32) frameBytes = channels * 4;
            break;
        case kALaw:
        case kMuLaw:
            if (v.bits == 8) frameBytes = channels;
            break;
        case kMsAdpcm:
        case kImaAdpcm: {
            if (v.bits != 4) break;
            // Every block starts with a header per channel (7 bytes of MS
            // ADPCM, 4 of IMA ADPCM) that holds one or two samples; then two
            // samples per byte.
            const bool ms = v.formatTag == kMsAdpcm;
            const unsigned header = (ms ? 7 : 4) * channels;
            if ((ms && channels > 2) || blockAlign <= header) {
                return "declares ADPCM blocks of " + Number(blockAlign) + " bytes for " + Number(channels) +
                       " channels, which cannot be decoded";
            }
            samplesPerBlock = (blockAlign - header) * 2 / channels + (ms ? 2 : 1);
            const unsigned declared = length >= 20 && extra >= 2 ? Get16(fmt + 18) : 0;
            samplesPerBlock = std::max(samplesPerBlock, declared);
            return "";
        }
        default:
            return "has the sound format " + Number(v.formatTag) + ", which is not played";
    }
    if (frameBytes == 0) {
        return "has " + Number(v.bits) + " bits per sample, which format " + Number(v.formatTag) + " does not have";
    }
    if (blockAlign != frameBytes) {
        return "declares a block alignment of " + Number(blockAlign) + " where its format has " + Number(frameBytes);
    }
    samplesPerBlock = 1;
    return "";
}

}  // namespace

WaveVerdict CheckWave(const std::vector<unsigned char>& file) {
    const uint64_t size = file.size();
    if (size > kMaxWaveFileBytes) {
        return No("is " + Number(size) + " bytes long; a sound may have at most " + Number(kMaxWaveFileBytes));
    }
    const unsigned char* bytes = file.data();
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        return No("is not a WAV file");
    }
    // As the decoders do: the chunks end where the RIFF chunk says, unless
    // it says nothing (0) or more than the file holds.
    const uint64_t riffSize = Get32(bytes + 4);
    const uint64_t end = (riffSize == 0 || riffSize + 8 > size) ? size : riffSize + 8;

    WaveVerdict v;
    unsigned blockAlign = 0, samplesPerBlock = 0;
    bool haveFormat = false;
    uint64_t at = 12;
    for (;;) {
        if (at + 8 > end) return No(haveFormat ? "has no sound data (no data chunk)" : "has no format chunk");
        const uint64_t length = Get32(bytes + at + 4);
        const uint64_t body = at + 8;
        const bool isData = std::memcmp(bytes + at, "data", 4) == 0;
        if (body + length > end) {
            return No(std::string(isData ? "declares " + Number(length) + " bytes of sound data" : "has a chunk") +
                      " running past the end of the file");
        }
        if (std::memcmp(bytes + at, "fmt ", 4) == 0 && !haveFormat) {
            std::string why = ReadFormat(bytes + body, length, v, blockAlign, samplesPerBlock);
            if (!why.empty()) return No(why);
            haveFormat = true;
        } else if (isData) {
            if (!haveFormat) return No("has its sound data before its format chunk");
            if (length == 0) return No("holds no sound");
            const uint64_t blocks = (length + blockAlign - 1) / blockAlign;
            const uint64_t frames = blocks * samplesPerBlock;
            const bool adpcm = v.formatTag == kMsAdpcm || v.formatTag == kImaAdpcm;
            const bool law = v.formatTag == kALaw || v.formatTag == kMuLaw;
            const uint64_t sampleBytes = adpcm || law ? 2 : static_cast<uint64_t>(v.bits) / 8;
            const uint64_t decoded = frames * static_cast<uint64_t>(v.channels) * sampleBytes;
            v.seconds = static_cast<double>(frames) / v.rate;
            if (v.seconds > kMaxWaveSeconds) {
                char text[80];
                std::snprintf(text, sizeof text, "lasts %.3f seconds; a sound may last at most %.0f", v.seconds,
                              kMaxWaveSeconds);
                return No(text);
            }
            if (decoded > kMaxWaveDecodedBytes) {
                return No("decodes to " + Number(decoded) + " bytes; a sound may take at most " +
                          Number(kMaxWaveDecodedBytes));
            }
            v.ok = true;
            v.dataAt = static_cast<std::size_t>(body);
            v.dataBytes = static_cast<std::size_t>(length);
            return v;
        }
        at = body + length + (length & 1);
    }
}

}  // namespace snickit
