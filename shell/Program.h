// The program entry that every backend calls: builds the window model over
// the platform, runs start-up and then the event loop until the program
// ends. Returns the process exit status.
#pragma once

namespace snickit {

class Platform;

int RunSnickit(Platform& platform);

}  // namespace snickit
