#include "gui/launch/PidFd.h"

#include <sys/syscall.h>
#include <unistd.h>

#ifndef SYS_pidfd_open
#define SYS_pidfd_open 434 // the same number on every architecture
#endif

namespace quarvo::gui {

UniqueFd openPidFd(pid_t pid)
{
    // Through syscall() because the C library's wrapper is newer than the system call; pidfds are
    // close-on-exec from birth.
    return UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
}

} // namespace quarvo::gui
