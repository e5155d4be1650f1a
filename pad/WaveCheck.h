// Checks what a WAV file declares before any library decodes it. Sounds come
// from strangers: a rate of 1 Hz, a data chunk larger than the file or an
// hour of audio would make a decoder or a converter allocate gigabytes on
// the window's thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace snickit {

// Limits of a sound button's sound. Gag sounds last a second or two. A sound
// is decoded and converted on the window's thread when it is first played
// (SDL converts about 90 seconds of audio per second of CPU, through a
// buffer of up to 16 times the decoded size): ten seconds keep that first
// release within about 0.1 s and some megabytes.
inline constexpr int kMinWaveRate = 4000;     // Hz; telephone quality starts at 8000
inline constexpr int kMaxWaveRate = 192000;   // Hz
inline constexpr int kMaxWaveChannels = 8;
inline constexpr double kMaxWaveSeconds = 10;
// The largest sound file read at all (checked from the file's size before
// reading), and the most its samples may take once decoded to PCM (ten
// seconds of 16-bit stereo at 48 kHz are 1.9 MB; of 8 channels of 32 bits at
// 192 kHz, 61 MB).
inline constexpr std::size_t kMaxWaveFileBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxWaveDecodedBytes = std::size_t{16} << 20;

struct WaveVerdict {
    bool ok = false;
    std::string why;  // a plain sentence when not ok
    int formatTag = 0, channels = 0, rate = 0, bits = 0;  // an extensible format gives its sub-format's tag
    double seconds = 0;
    std::size_t dataAt = 0, dataBytes = 0;  // where the sound data lies in the file
};

// Checks a whole WAV file: RIFF/WAVE, a "fmt " chunk before a "data" chunk,
// every chunk up to the data inside the file; PCM of 8, 16, 24 or 32 bits,
// 32-bit float, A-law, mu-law, MS ADPCM or IMA ADPCM (also inside the
// extensible format); 1 to kMaxWaveChannels channels, a rate from
// kMinWaveRate to kMaxWaveRate, a block alignment that fits the format, and
// at most kMaxWaveSeconds and kMaxWaveDecodedBytes of sound.
WaveVerdict CheckWave(const std::vector<unsigned char>& file);

}  // namespace snickit
