#include "core/layout/InstallLayout.h"

namespace quarvo {

std::string installedPath(std::string_view programDirectory, std::string_view relativeDirectory)
{
    std::string path(programDirectory);
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + std::string(relativeDirectory);
}

std::vector<std::string> companionProgramCandidates(std::string_view programDirectory, std::string_view name)
{
    if (programDirectory.empty())
        return {};
    return {installedPath(programDirectory, name),
            installedPath(installedPath(programDirectory, InstallLayout::companionDirectory()), name)};
}

} // namespace quarvo
