// The sound check on any bytes, and SDL's decoder and converter on whatever
// it accepts, to the device format the player opens.
#include <vector>

#include "pad/WaveCheck.h"
#include "platform/sdl/SoundPlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::vector<unsigned char> file(data, data + size);
    if (!snickit::CheckWave(file).ok) return 0;
    SDL_AudioSpec device{};
    device.freq = 48000;
    device.format = AUDIO_S16SYS;
    device.channels = 2;
    snickit::sdl::ConvertWave(file, device);
    return 0;
}
