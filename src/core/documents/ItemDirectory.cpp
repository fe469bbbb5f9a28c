#include "core/documents/ItemDirectory.h"

#include "core/app/DirectoryContentsRemoval.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/stat.h>

namespace quarvo {

namespace {

constexpr std::string_view ItemPrefix = "item-";
// mkdtemp replaces the six X of the template.
constexpr std::string_view UniqueSuffix = "XXXXXX";

bool isItemDirectoryOf(const std::string& directory, const std::string& scratchDirectory)
{
    if (scratchDirectory.empty() || !directory.starts_with(scratchDirectory + "/"))
        return false;
    std::string_view name = std::string_view(directory).substr(scratchDirectory.size() + 1);
    return name.starts_with(ItemPrefix) && name.size() == ItemPrefix.size() + UniqueSuffix.size() &&
           name.find('/') == std::string_view::npos && name.find("..") == std::string_view::npos;
}

} // namespace

Result<std::string> makeItemDirectory(const std::string& scratchDirectory)
{
    if (scratchDirectory.empty())
        return Error{"There is no scratch directory."};
    std::string path = scratchDirectory + "/" + std::string(ItemPrefix) + std::string(UniqueSuffix);
    if (!::mkdtemp(path.data()))
        return Error{std::strerror(errno)};
    return path;
}

bool removeItemDirectory(const std::string& directory, const std::string& scratchDirectory)
{
    if (!isItemDirectoryOf(directory, scratchDirectory))
        return false;
    struct stat status {};
    if (::lstat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    return removeDirectoryTree(directory);
}

} // namespace quarvo
