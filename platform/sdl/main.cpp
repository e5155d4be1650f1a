// Snickit on the Linux desktop: builds the SDL platform and runs the
// program on it.
#define SDL_MAIN_HANDLED
#include <cstdio>
#include <exception>
#include <memory>

#include "platform/sdl/SdlPlatform.h"
#include "shell/Program.h"

int main() {
    std::unique_ptr<snickit::sdl::SdlPlatform> platform;
    try {
        platform = std::make_unique<snickit::sdl::SdlPlatform>();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Snickit: %s\n", e.what());
        return 1;
    }
    return snickit::RunSnickit(*platform);
}
