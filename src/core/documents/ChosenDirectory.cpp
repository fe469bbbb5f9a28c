#include "core/documents/ChosenDirectory.h"

#include "core/text/DirectoryHistory.h"

#include <unistd.h>

namespace quarvo {

void adoptChosenDirectory(std::span<std::string> history, const std::string& directory)
{
    addToDirectoryHistory(history, directory);
    if (!directory.empty())
        (void)::chdir(directory.c_str());
}

std::string withTrailingSlash(const std::string& directory)
{
    if (directory.empty() || directory.ends_with('/'))
        return directory;
    return directory + '/';
}

} // namespace quarvo
