// The floor Snickit is measured against: the least a sound pad over SDL2
// must do. A borderless 240 x 95 window created at its place, one BMP shown
// on the window surface, an audio device, then SDL_WaitEvent: a press blits
// button 1 of the pressed picture, a release queues the WAV and blits the
// button back.
//   snickit-bare X Y SHOWN.bmp PRESSED.bmp SOUND.wav
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr SDL_Rect kButton{3, 19, 60, 71};  // button 1 of a skin

// The WAV in the device's format, read at the first release and kept.
bool LoadSound(const char* path, const SDL_AudioSpec& device, std::vector<Uint8>& samples) {
    SDL_AudioSpec wav;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path, &wav, &buffer, &length)) return false;
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, device.format,
                                        device.channels, device.freq);
    bool ok = built >= 0;
    if (ok) {
        samples.assign(buffer, buffer + length);
        if (built > 0) {
            samples.resize(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
            cvt.buf = samples.data();
            cvt.len = static_cast<int>(length);
            ok = SDL_ConvertAudio(&cvt) == 0;
            samples.resize(ok ? static_cast<size_t>(cvt.len_cvt) : 0);
        }
    }
    SDL_FreeWAV(buffer);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s X Y SHOWN.bmp PRESSED.bmp SOUND.wav\n", argv[0]);
        return 2;
    }
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // a plain surface, no GL
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    SDL_AudioSpec want{};
    want.freq = 48000;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device) SDL_PauseAudioDevice(device, 0);

    SDL_Surface* shown = SDL_LoadBMP(argv[3]);
    SDL_Window* window = SDL_CreateWindow("snickit-bare", std::atoi(argv[1]), std::atoi(argv[2]), 240, 95,
                                          SDL_WINDOW_BORDERLESS);
    if (!shown || !window) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        return 1;
    }
    SDL_BlitSurface(shown, nullptr, SDL_GetWindowSurface(window), nullptr);
    SDL_UpdateWindowSurface(window);

    SDL_Surface* pressed = SDL_LoadBMP(argv[4]);
    std::vector<Uint8> sound;
    bool soundRead = false;
    SDL_Event event;
    while (SDL_WaitEvent(&event)) {
        SDL_Surface* from = nullptr;
        if (event.type == SDL_QUIT) break;
        if (event.type == SDL_MOUSEBUTTONDOWN) {
            from = pressed;
        } else if (event.type == SDL_MOUSEBUTTONUP) {
            if (!soundRead) soundRead = LoadSound(argv[5], have, sound);
            if (device && !sound.empty()) {
                SDL_ClearQueuedAudio(device);
                SDL_QueueAudio(device, sound.data(), static_cast<Uint32>(sound.size()));
            }
            from = shown;
        } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            SDL_BlitSurface(shown, nullptr, SDL_GetWindowSurface(window), nullptr);
            SDL_UpdateWindowSurface(window);
        }
        if (from) {
            SDL_Rect source = kButton, target = kButton;
            SDL_BlitSurface(from, &source, SDL_GetWindowSurface(window), &target);
            SDL_UpdateWindowSurfaceRects(window, &kButton, 1);
        }
    }
    SDL_Quit();
    return 0;
}
