#include "gui/launch/FileStamp.h"

#include <sys/stat.h>

namespace quarvo::gui {

std::optional<FileStamp> stampOf(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileStamp{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
                     status.st_mtim.tv_nsec};
}

bool stampShowsChange(const FileStamp& before, const std::optional<FileStamp>& now)
{
    return now && *now != before;
}

} // namespace quarvo::gui
