#include "platform/sdl/SoundPlayer.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>

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
// The converted sounds kept (see SoundPlayer::cache_).
constexpr std::size_t kCachedSounds = 8;
constexpr std::size_t kCacheBytes = std::size_t{32} << 20;

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
    // SDL's own resampler, whatever SDL_AUDIO_RESAMPLING_MODE says: with any
    // other mode SDL 2.26 hands SDL_AudioCVT's and the device's resampling
    // to libsamplerate, which the Linux download does not carry (see
    // NoSampleRate.cpp).
    SDL_SetHintWithPriority(SDL_HINT_AUDIO_RESAMPLING_MODE, "default", SDL_HINT_OVERRIDE);
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

Samples ConvertWave(const std::vector<unsigned char>& file, const SDL_AudioSpec& device) {
    if (file.size() > static_cast<std::size_t>(INT32_MAX)) return nullptr;
    SDL_RWops* source = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (!source) return nullptr;
    SDL_AudioSpec wav{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(source, 1, &wav, &buffer, &length)) return nullptr;

    // Converted in one pass with SDL_AudioCVT: SDL 2.26's SDL_AudioStream,
    // when it resamples, keeps the last 512 source frames back even after a
    // flush, which cuts the end off every sound whose rate is not 48 kHz.
    std::shared_ptr<std::vector<Uint8>> samples;
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, device.format,
                                        device.channels, device.freq);
    const std::size_t needed = static_cast<std::size_t>(length) * static_cast<std::size_t>(std::max(cvt.len_mult, 1));
    if (built >= 0 && cvt.len_mult >= 1 && needed / static_cast<std::size_t>(cvt.len_mult) == length &&
        needed <= kMaxConvertBytes) {
        samples = std::make_shared<std::vector<Uint8>>();
        samples->assign(buffer, buffer + length);
        if (built > 0) {
            samples->resize(needed);
            cvt.buf = samples->data();
            cvt.len = static_cast<int>(length);
            if (SDL_ConvertAudio(&cvt) == 0 && cvt.len_cvt >= 0 && static_cast<std::size_t>(cvt.len_cvt) <= needed) {
                samples->resize(static_cast<std::size_t>(cvt.len_cvt));
                samples->shrink_to_fit();
            } else {
                samples.reset();
            }
        }
    }
    SDL_FreeWAV(buffer);
    return samples;
}

Samples SoundPlayer::Converted(const WaveFile& wave) {
    const std::size_t hash = std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(wave->data()), wave->size()));
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->hash == hash && *it->file == *wave) {
            Cached found = *it;
            cache_.erase(it);
            cache_.push_front(found);
            return found.samples;
        }
    }
    Samples samples = ConvertWave(*wave, spec_);
    cache_.push_front(Cached{wave, hash, samples});
    // The last eight sounds (two skins' worth), within 32 MiB; the newest is
    // always kept.
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < cache_.size(); ++i) {
        bytes += cache_[i].file->size() + (cache_[i].samples ? cache_[i].samples->size() : 0);
        if (i > 0 && (i >= kCachedSounds || bytes > kCacheBytes)) {
            cache_.resize(i);
            break;
        }
    }
    return samples;
}

SoundPlayer::Started SoundPlayer::Play(const WaveFile& wave) {
    TraceEvent("play");
    if (device_ == 0) return Started::Nothing;
    Samples sound = wave ? Converted(wave) : nullptr;
    Started started = Started::Wave;
    if (!sound) {
        if (!defaultSound_) {
            defaultSound_ = ConvertWave(std::vector<unsigned char>(embedded::DefaultSound.data,
                                                                   embedded::DefaultSound.data + embedded::DefaultSound.size),
                                        spec_);
        }
        sound = defaultSound_;
        started = sound ? Started::DefaultSound : Started::Nothing;
    }

    if (!parked_) SDL_LockAudioDevice(device_);
    playing_.swap(sound);
    position_ = 0;
    silentBuffers_ = 0;
    idlePosted_ = false;
    traceFirstSample_ = TraceFile() >= 0;
    SDL_UnlockAudioDevice(device_);
    parked_ = false;
    // `sound` now holds the sound that was cut off; if the cache no longer
    // holds it, it is freed here, on this thread, outside the lock.
    return started;
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
    if (playing_ && position_ < playing_->size()) {
        copied = std::min(static_cast<size_t>(length), playing_->size() - position_);
        const Uint8* from = playing_->data() + position_;
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
