#pragma once

#include "core/base/UniqueFd.h"

#include <sys/types.h>

namespace quarvo::gui {

// A pidfd for process pid (close-on-exec): readable once the process has ended. Empty when the
// kernel has no pidfd_open (ENOSYS, before Linux 5.3) or the process does not exist; errno tells which.
UniqueFd openPidFd(pid_t pid);

} // namespace quarvo::gui
