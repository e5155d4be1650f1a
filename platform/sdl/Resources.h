// The program's built-in resources, compiled into the executable from
// resources/ (see EmbedResource.cmake).
#pragma once

#include <cstddef>

namespace snickit::sdl::embedded {

struct Blob {
    const unsigned char* data;
    std::size_t size;
};

extern const Blob AboutPicture;  // resources/about.bmp, 240 x 95
extern const Blob WindowIcon;    // resources/icon32.bmp
extern const Blob DefaultSound;  // resources/ding.wav

}  // namespace snickit::sdl::embedded
