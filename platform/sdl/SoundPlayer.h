// Plays one WAV sound at a time on the audio device, which is opened once.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace snickit::sdl {

// A WAV file's bytes, and samples in the device's format.
using WaveFile = std::shared_ptr<const std::vector<unsigned char>>;
using Samples = std::shared_ptr<const std::vector<Uint8>>;

// The most memory a conversion may use (SDL converts in place, in a buffer
// of the decoded size times SDL_AudioCVT's len_mult, which grows with the
// rate ratio: 16 for 44.1 kHz mono to 48 kHz stereo, 768,000 for 1 Hz).
// Checked before the buffer is allocated. Every sound the core's check lets
// through needs far less.
inline constexpr std::size_t kMaxConvertBytes = std::size_t{64} << 20;

// Decodes a WAV file's bytes and converts them to the device's format;
// null when SDL cannot decode them or the conversion would need more than
// kMaxConvertBytes.
Samples ConvertWave(const std::vector<unsigned char>& file, const SDL_AudioSpec& device);

class SoundPlayer {
public:
    // Opens the default audio device. Without one the player stays silent.
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts a WAV file's sound (the built-in default sound for null, or
    // when the file cannot be decoded), cutting off whatever plays. Says
    // which one it started.
    enum class Started { Wave, DefaultSound, Nothing };
    Started Play(const WaveFile& wave);

    // The audio thread posts an event of this type when a sound has ended
    // and the device has run idle for a moment; the event loop then calls
    // Park() so that the audio thread sleeps until the next sound.
    Uint32 IdleEventType() const { return idleEvent_; }
    void Park();

    bool HasDevice() const { return device_ != 0; }

private:
    // The converted sound of a file, from the cache or converted now.
    Samples Converted(const WaveFile& wave);

    static void SDLCALL Callback(void* self, Uint8* stream, int length);
    void Fill(Uint8* stream, int length);

    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    Uint32 idleEvent_ = 0;
    bool parked_ = false;  // the main thread holds the device lock
    Samples defaultSound_;

    // The last few files played and their converted sounds, newest first,
    // keyed by the files' bytes: a file replaced on disk has other bytes and
    // is converted afresh.
    struct Cached {
        WaveFile file;
        std::size_t hash;
        Samples samples;  // null: SDL could not convert it
    };
    std::deque<Cached> cache_;

    // Shared with the audio thread, under the device lock.
    Samples playing_;
    std::size_t position_ = 0;
    int silentBuffers_ = 0;   // buffers of silence since the last sound ended
    bool idlePosted_ = false;

    bool traceFirstSample_ = false;  // see TraceEvent
};

// Writes "<event> <CLOCK_MONOTONIC ns>" lines to the trace file named by
// SNICKIT_AUDIO_TRACE, if set; used to measure how fast a sound starts.
void TraceEvent(const char* event);

}  // namespace snickit::sdl
