// The settings reader on any bytes: a Failure or three values, nothing else.
#include <string_view>

#include "platform/Platform.h"
#include "settings/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    try {
        snickit::ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size), "config.sn");
    } catch (const snickit::Failure&) {
    }
    return 0;
}
