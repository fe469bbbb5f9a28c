#pragma once

#include "core/launch/LaunchCodes.h"

namespace quarvo::gui {

// Why a program did not start: the launch code the caller shows, and the system's errno (0 when
// the failure did not come from a system call) for a log.
struct LaunchFailure {
    int code = LaunchCode::CouldNotLaunch;
    int systemError = 0;
};

// The failure for errno error met at step, with the errno kept beside its launch code.
inline LaunchFailure launchFailureFor(LaunchStep step, int error)
{
    return {launchCodeForErrno(error, step), error};
}

} // namespace quarvo::gui
