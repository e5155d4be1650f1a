// The sound check on any bytes, and SDL's decoder and converter on whatever
// it accepts, to the device format the player opens.
#include <vector>

#include "pad/WaveCheck.h"
#include "platform/sdl/SoundPlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::vector<unsigned char> file(data, data + size);
    if (!snickit::CheckWave(file).ok) return 0;
    snickit::sdl::ConvertWave(file, SDL_AudioSpec{.freq = 48000, .format = AUDIO_S16SYS, .channels = 2});
    return 0;
}
