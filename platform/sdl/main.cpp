// Snickit on the Linux desktop: builds the SDL platform and runs the
// program on it.
#define SDL_MAIN_HANDLED
#include <memory>

#include "platform/sdl/SdlPlatform.h"
#include "shell/Program.h"

int main() {
    return snickit::RunSnickit([] { return std::make_unique<snickit::sdl::SdlPlatform>(); });
}
