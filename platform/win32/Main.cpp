// The Windows program: the Win32 desktop under Snickit's own logic.
#include <windows.h>

#include <memory>

#include "platform/win32/Win32Platform.h"
#include "shell/Program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return snickit::RunSnickit([instance] { return std::make_unique<snickit::win32::Win32Platform>(instance); });
}
