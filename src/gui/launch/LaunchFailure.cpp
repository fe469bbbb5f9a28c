#include "gui/launch/LaunchFailure.h"

#include <cerrno>

namespace quarvo::gui {

int launchCodeFor(LaunchStep step, int error)
{
    if (error == ENOMEM)
        return LaunchCode::OutOfMemory;
    switch (step) {
    case LaunchStep::Program:
        return error == ENOENT ? LaunchCode::FileNotFound : LaunchCode::CannotLaunch;
    case LaunchStep::WorkingDirectory:
        return error == ENOENT || error == ENOTDIR ? LaunchCode::PathNotFound : LaunchCode::CannotLaunch;
    }
    return LaunchCode::CannotLaunch;
}

} // namespace quarvo::gui
