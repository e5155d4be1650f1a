#include "shell/Program.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include "shell/FormMain.h"
#include "skin/SkinFailure.h"

namespace snickit {

namespace {

// Automated runs set SNICKIT_NO_MESSAGEBOX=1: nobody is there to click a
// message away, so the error output alone tells the failure.
bool MessageBoxesWanted() {
    const char* quiet = std::getenv("SNICKIT_NO_MESSAGEBOX");
    return !(quiet && std::strcmp(quiet, "1") == 0);
}

// The text for whatever a handler let escape.
std::string DescribeUnexpected(Platform* platform) {
    try {
        throw;
    } catch (const Failure& failure) {
        const std::string path = platform ? platform->DisplayPath(failure.path()) : failure.path();
        return DescribeFailure(failure.kind(), path) +
               (platform ? SkinFailureAdvice(*platform, failure.path()) : std::string());
    } catch (const std::bad_alloc&) {
        return "Out of memory.";
    } catch (const std::exception& e) {
        return std::string("Unexpected error: ") + e.what();
    } catch (...) {
        return "Unexpected error.";
    }
}

// Call from a catch block only: tells what was caught and returns the
// program's status.
int EndUnexpectedly(Platform* platform) {
    try {
        const std::string message = DescribeUnexpected(platform);
        std::fprintf(stderr, "Snickit: %s\n", message.c_str());
        std::fflush(stderr);
        static const bool messageBox = MessageBoxesWanted();
        if (platform) platform->ShowFatalError(message, messageBox);
    } catch (...) {
        // Telling the user failed as well (no memory left for a message
        // box): the status still says that the program failed.
    }
    return 1;
}

}  // namespace

// Ends by a ProgramExit (quit, a close from outside) or by a failure, which
// is told while the window still shows what the program had shown.
int Form_Main::Run() {
    try {
        Form_Load();
        for (;;) {
            window_.WaitEvent();
            window_.DispatchPending();
        }
    } catch (const ProgramExit& exit) {
        return exit.status;
    } catch (const std::exception&) {
        return EndUnexpectedly(&platform_);
    }
}

int RunSnickit(const std::function<std::unique_ptr<Platform>()>& makePlatform) {
    std::unique_ptr<Platform> platform;
    try {
        platform = makePlatform();
        Form_Main form(*platform);
        return form.Run();
    } catch (...) {
        // A platform that could not be built, or something that is no
        // std::exception.
        return EndUnexpectedly(platform.get());
    }
}

}  // namespace snickit
