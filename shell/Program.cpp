#include "shell/Program.h"

#include "shell/FormMain.h"
#include "skin/SkinFailure.h"

namespace snickit {

namespace {
int ShowFailure(Platform& platform, const Failure& failure) {
    platform.ShowFatalError(DescribeFailure(failure.kind(), platform.DisplayPath(failure.path())) +
                            SkinFailureAdvice(platform, failure.path()));
    return 1;
}
}  // namespace

// Ends by a ProgramExit (quit, a close from outside) or by a failure, which
// is shown to the user; either way no further handler runs.
int Form_Main::Run() {
    try {
        Form_Load();
        for (;;) {
            window_.WaitEvent();
            window_.DispatchPending();
        }
    } catch (const ProgramExit& exit) {
        return exit.status;
    } catch (const Failure& failure) {
        return ShowFailure(platform_, failure);
    }
}

int RunSnickit(Platform& platform) {
    try {
        Form_Main form(platform);
        return form.Run();
    } catch (const Failure& failure) {
        return ShowFailure(platform, failure);
    }
}

}  // namespace snickit
