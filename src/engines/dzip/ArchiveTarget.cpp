#include "engines/dzip/ArchiveTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace quarvo {

namespace {

// The same limit the system puts on links followed while resolving one path.
constexpr int maximumLinks = 40;

} // namespace

std::string followArchiveLinks(const std::string& path)
{
    std::string current = path;
    for (int followed = 0; followed < maximumLinks; ++followed) {
        struct stat status {};
        if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        std::vector<char> target(static_cast<size_t>(status.st_size > 0 ? status.st_size : 255) + 1);
        const ssize_t length = readlink(current.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<size_t>(length) >= target.size())
            return current;
        const std::string next(target.data(), static_cast<size_t>(length));
        const size_t slash = current.rfind('/');
        // A relative target is relative to the directory holding the link.
        if (next.front() == '/' || slash == std::string::npos)
            current = next;
        else
            current = current.substr(0, slash + 1) + next;
    }
    return current;
}

bool mayWriteArchive(const std::string& path)
{
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

} // namespace quarvo
