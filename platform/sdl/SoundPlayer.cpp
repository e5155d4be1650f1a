#include "platform/sdl/SoundPlayer.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/Resources.h"

namespace snickit::sdl {

namespace {

// At 48 kHz, 512 frames are 10.7 ms: a sound starts within one buffer of
// the release.
constexpr int kFrequency = 48000;
constexpr int kBufferFrames = 512;
// Buffers of silence the device plays after a sound before the audio
// thread is put to sleep: lets the sound's tail drain through the device.
constexpr int kSilentBuffersBeforePark = 4;

int TraceFile() {
    static const int fd = [] {
        const char* path = std::getenv("SNICKIT_AUDIO_TRACE");
        if (!path || !*path) return -1;
        return ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }();
    return fd;
}

}  // namespace

void TraceEvent(const char* event) {
    const int fd = TraceFile();
    if (fd < 0) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[96];
    const int length = std::snprintf(line, sizeof line, "%s %lld\n", event,
                                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (length > 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, line, static_cast<size_t>(length));
    }
}

SoundPlayer::SoundPlayer() {
    TraceFile();  // open the trace file, if any, before the audio thread runs
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "Snickit: no audio (%s); sounds are not played\n", SDL_GetError());
        return;
    }
    idleEvent_ = SDL_RegisterEvents(1);
    SDL_AudioSpec want{};
    want.freq = kFrequency;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &SoundPlayer::Callback;
    want.userdata = this;
    // No changes allowed: SDL converts to the hardware's format itself, and
    // the callback always works on 512 frames of 16-bit stereo at 48 kHz.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, 0);
    if (device_ == 0) {
        std::fprintf(stderr, "Snickit: no audio device (%s); sounds are not played\n", SDL_GetError());
        return;
    }
    // The audio thread takes the device lock for every buffer. Holding it
    // while no sound plays keeps that thread asleep instead of copying
    // silence a hundred times a second.
    SDL_LockAudioDevice(device_);
    parked_ = true;
    SDL_PauseAudioDevice(device_, 0);
}

SoundPlayer::~SoundPlayer() {
    if (device_ == 0) return;
    if (parked_) SDL_UnlockAudioDevice(device_);
    SDL_CloseAudioDevice(device_);
}

std::unique_ptr<SoundPlayer::Sound> SoundPlayer::Decode(SDL_RWops* source) const {
    if (!source) return nullptr;
    SDL_AudioSpec wav{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(source, 1, &wav, &buffer, &length)) return nullptr;

    // Converted in one pass with SDL_AudioCVT: SDL 2.26's SDL_AudioStream,
    // when it resamples, keeps the last 512 source frames back even after a
    // flush, which cuts the end off every sound whose rate is not 48 kHz.
    std::unique_ptr<Sound> sound;
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, spec_.format,
                                        spec_.channels, spec_.freq);
    if (built >= 0) {
        sound = std::make_unique<Sound>();
        sound->samples.assign(buffer, buffer + length);
        if (built > 0) {
            sound->samples.resize(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
            cvt.buf = sound->samples.data();
            cvt.len = static_cast<int>(length);
            if (SDL_ConvertAudio(&cvt) == 0) {
                sound->samples.resize(static_cast<size_t>(cvt.len_cvt));
            } else {
                sound.reset();
            }
        }
    }
    SDL_FreeWAV(buffer);
    return sound;
}

std::unique_ptr<SoundPlayer::Sound> SoundPlayer::DefaultSound() {
    if (!defaultSound_) {
        defaultSound_ = Decode(SDL_RWFromConstMem(embedded::DefaultSound.data,
                                                  static_cast<int>(embedded::DefaultSound.size)));
        if (!defaultSound_) return nullptr;
    }
    return std::make_unique<Sound>(*defaultSound_);
}

void SoundPlayer::Play(const std::string& nativePath) {
    TraceEvent("play");
    if (device_ == 0) return;
    // Read afresh every time: a file replaced on disk is heard at once.
    std::unique_ptr<Sound> sound = Decode(SDL_RWFromFile(nativePath.c_str(), "rb"));
    if (!sound) sound = DefaultSound();
    if (!sound) return;

    if (!parked_) SDL_LockAudioDevice(device_);
    playing_.swap(sound);
    position_ = 0;
    silentBuffers_ = 0;
    idlePosted_ = false;
    traceFirstSample_ = TraceFile() >= 0;
    SDL_UnlockAudioDevice(device_);
    parked_ = false;
    // `sound` now holds the sound that was cut off; it is freed here, on
    // this thread, outside the lock.
}

void SoundPlayer::Park() {
    if (device_ == 0 || parked_) return;
    SDL_LockAudioDevice(device_);
    if (silentBuffers_ >= kSilentBuffersBeforePark) {
        playing_.reset();
        parked_ = true;  // keep the lock until the next sound
        return;
    }
    SDL_UnlockAudioDevice(device_);
}

void SDLCALL SoundPlayer::Callback(void* self, Uint8* stream, int length) {
    static_cast<SoundPlayer*>(self)->Fill(stream, length);
}

void SoundPlayer::Fill(Uint8* stream, int length) {
    size_t copied = 0;
    if (playing_ && position_ < playing_->samples.size()) {
        copied = std::min(static_cast<size_t>(length), playing_->samples.size() - position_);
        const Uint8* from = playing_->samples.data() + position_;
        std::memcpy(stream, from, copied);
        position_ += copied;
        if (traceFirstSample_) {
            for (size_t i = 0; i < copied; ++i) {
                if (from[i] != spec_.silence) {
                    TraceEvent("sample");
                    traceFirstSample_ = false;
                    break;
                }
            }
        }
    }
    if (copied < static_cast<size_t>(length)) {
        std::memset(stream + copied, spec_.silence, static_cast<size_t>(length) - copied);
    }
    if (copied == 0 && silentBuffers_ < kSilentBuffersBeforePark) ++silentBuffers_;
    if (copied == 0 && silentBuffers_ >= kSilentBuffersBeforePark && !idlePosted_) {
        idlePosted_ = true;
        SDL_Event idle{};
        idle.type = idleEvent_;
        SDL_PushEvent(&idle);
    }
}

}  // namespace snickit::sdl
