// Plays one WAV sound at a time on the audio device, which is opened once.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace snickit::sdl {

class SoundPlayer {
public:
    // Opens the default audio device. Without one the player stays silent.
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Reads the WAV file at `nativePath` now, converts it to the device's
    // format and starts it, cutting off whatever plays. A file that is
    // missing or cannot be read plays the built-in default sound instead.
    void Play(const std::string& nativePath);

    // The audio thread posts an event of this type when a sound has ended
    // and the device has run idle for a moment; the event loop then calls
    // Park() so that the audio thread sleeps until the next sound.
    Uint32 IdleEventType() const { return idleEvent_; }
    void Park();

    bool HasDevice() const { return device_ != 0; }

private:
    struct Sound {
        std::vector<Uint8> samples;  // in the device's format
    };

    static void SDLCALL Callback(void* self, Uint8* stream, int length);
    void Fill(Uint8* stream, int length);
    std::unique_ptr<Sound> Decode(SDL_RWops* source) const;
    std::unique_ptr<Sound> DefaultSound();

    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    Uint32 idleEvent_ = 0;
    bool parked_ = false;  // the main thread holds the device lock
    std::unique_ptr<Sound> defaultSound_;

    // Shared with the audio thread, under the device lock.
    std::unique_ptr<Sound> playing_;
    std::size_t position_ = 0;
    int silentBuffers_ = 0;   // buffers of silence since the last sound ended
    bool idlePosted_ = false;

    bool traceFirstSample_ = false;  // see TraceEvent
};

// Writes "<event> <CLOCK_MONOTONIC ns>" lines to the trace file named by
// SNICKIT_AUDIO_TRACE, if set; used to measure how fast a sound starts.
void TraceEvent(const char* event);

}  // namespace snickit::sdl
