// The program entry that every backend calls: builds the platform, the
// window model over it, runs start-up and then the event loop until the
// program ends. Returns the process exit status.
#pragma once

#include <functional>
#include <memory>

namespace snickit {

class Platform;

// Whatever ends the program unexpectedly, here or in any handler (a Failure,
// std::bad_alloc, any other exception), ends it by one rule: a message naming
// what failed, a non-zero status, and nothing written. A platform that cannot
// be built at all (no display) has only the error output to tell it on.
int RunSnickit(const std::function<std::unique_ptr<Platform>()>& makePlatform);

}  // namespace snickit
