// The Windows program: the Win32 desktop under Snickit's own logic.
#include <windows.h>

#include <exception>

#include "platform/win32/Win32Platform.h"
#include "shell/Program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        snickit::win32::Win32Platform platform(instance);
        try {
            return snickit::RunSnickit(platform);
        } catch (const snickit::ProgramExit& exit) {
            return exit.status;
        } catch (const snickit::Failure& failure) {
            platform.ShowFatalError(snickit::DescribeFailure(failure.kind(), failure.path()));
            return 1;
        }
    } catch (const std::exception& e) {
        snickit::win32::ReportFatalError(nullptr, e.what());
        return 1;
    } catch (...) {
        return 1;
    }
}
