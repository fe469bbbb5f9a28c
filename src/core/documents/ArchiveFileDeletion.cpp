#include "core/documents/ArchiveFileDeletion.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

ArchiveFileDeletion deleteArchiveFile(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode))
        return ArchiveFileDeletion::Failed;
    if (!S_ISLNK(status.st_mode) && !(status.st_mode & S_IWUSR))
        return ArchiveFileDeletion::AccessDenied;
    if (::unlink(path.c_str()) == 0)
        return ArchiveFileDeletion::Deleted;
    if (errno == EACCES || errno == EPERM || errno == EROFS)
        return ArchiveFileDeletion::AccessDenied;
    return ArchiveFileDeletion::Failed;
}

} // namespace quarvo
