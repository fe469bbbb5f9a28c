#pragma once

#include "core/base/Result.h"
#include "core/base/UniqueFd.h"
#include "gui/launch/LaunchFailure.h"

#include <sys/types.h>

namespace quarvo::gui {

// A program that was started, a child of this process that nobody has reaped yet.
struct StartedProcess {
    // The child's process id; 0 when the desktop handed the file to an application over D-Bus, so
    // that no process of ours exists to watch (the caller treats it as a program that ended at once).
    pid_t pid = 0;
    // A pidfd of the child, opened at once so that it names this very process, or empty on kernels
    // without pidfds (before Linux 5.3). ProcessWatcher adopts it.
    UniqueFd pidfd;

    bool hasProcess() const { return pid > 0; }
};

using StartResult = Result<StartedProcess, LaunchFailure>;

} // namespace quarvo::gui
