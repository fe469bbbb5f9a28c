#include "gui/launch/WorkingDirectory.h"

#include <cerrno>
#include <fcntl.h>

namespace quarvo::gui {

Result<UniqueFd, LaunchFailure> openWorkingDirectory(const std::string& path)
{
    UniqueFd directory(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!directory)
        return launchFailureFor(LaunchStep::WorkingDirectory, errno);
    return directory;
}

} // namespace quarvo::gui
