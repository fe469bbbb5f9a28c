#include "gui/launch/ChildSetup.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace quarvo::gui {

int prepareStartedChild(int workingDirectory)
{
    ::setsid();
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    // SIGKILL and SIGSTOP (and the C library's own signals) refuse, harmlessly: none can be ignored.
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &defaultAction, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    return ::fchdir(workingDirectory) == 0 ? 0 : errno;
}

} // namespace quarvo::gui
