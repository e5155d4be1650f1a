#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "platform/sdl/SdlPlatform.h"

extern char** environ;

namespace snickit::sdl {

bool OpenWithDesktop(const std::string& url) {
    // A short-lived shell starts xdg-open in the background and exits at
    // once, so the opener is never waited for and never left a zombie
    // (it belongs to init once the shell is gone). The shell's status
    // says whether xdg-open could be found.
    static const char kScript[] =
        "command -v xdg-open >/dev/null 2>&1 || exit 127\n"
        "xdg-open \"$1\" </dev/null >/dev/null &\n";
    std::string script = kScript;
    std::string name = "snickit-open";
    std::string argument = url;
    std::string shell = "sh";
    std::string dashC = "-c";
    char* argv[] = {shell.data(), dashC.data(), script.data(), name.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace snickit::sdl
