#include "core/app/DirectoryContentsRemoval.h"

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quarvo {

namespace {

constexpr int directoryOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::vector<std::string> entryNames(int directoryFd)
{
    std::vector<std::string> names;
    int listingFd = ::dup(directoryFd);
    if (listingFd < 0)
        return names;
    DIR* directory = ::fdopendir(listingFd);
    if (!directory) {
        ::close(listingFd);
        return names;
    }
    ::rewinddir(directory);
    while (dirent* entry = ::readdir(directory)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    ::closedir(directory);
    return names;
}

bool removeEntry(int directoryFd, const std::string& name)
{
    struct stat status {};
    if (::fstatat(directoryFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISDIR(status.st_mode))
        return ::unlinkat(directoryFd, name.c_str(), 0) == 0;
    int childFd = ::openat(directoryFd, name.c_str(), directoryOpenFlags);
    if (childFd < 0)
        return false;
    // A directory extracted read-only cannot lose its entries until it is writable again.
    if ((status.st_mode & S_IRWXU) != S_IRWXU)
        ::fchmod(childFd, status.st_mode | S_IRWXU);
    bool emptied = removeDirectoryContentsAt(childFd);
    ::close(childFd);
    return ::unlinkat(directoryFd, name.c_str(), AT_REMOVEDIR) == 0 && emptied;
}

} // namespace

bool removeDirectoryContentsAt(int directoryFd)
{
    bool allRemoved = true;
    for (const std::string& name : entryNames(directoryFd)) {
        if (!removeEntry(directoryFd, name))
            allRemoved = false;
    }
    return allRemoved;
}

bool removeDirectoryContents(const std::string& path)
{
    int fd = ::open(path.c_str(), directoryOpenFlags);
    if (fd < 0)
        return false;
    bool removed = removeDirectoryContentsAt(fd);
    ::close(fd);
    return removed;
}

bool removeDirectoryTree(const std::string& path)
{
    bool emptied = removeDirectoryContents(path);
    return ::rmdir(path.c_str()) == 0 && emptied;
}

} // namespace quarvo
