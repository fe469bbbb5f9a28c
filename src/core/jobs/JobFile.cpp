#include "core/jobs/JobFile.h"

#include "core/base/UniqueFd.h"
#include "core/jobs/JobFormat.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

std::string fileErrorText(int error, const std::string& path)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return path + " was not found.";
    case EACCES:
    case EPERM:
        return "Access to " + path + " was denied.";
    case EROFS:
        return path + " lies on a file system that cannot be written.";
    case ENOSPC:
    case EDQUOT:
        return "The disk is full: " + path + " could not be written.";
    case EISDIR:
        return path + " is a directory.";
    default:
        return "An unexpected error occurred with " + path + ": " + std::strerror(error) + ".";
    }
}

} // namespace

Result<ProfileFile> loadJobFile(const std::string& path)
{
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file)
        return Error{fileErrorText(errno, path)};
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return Error{fileErrorText(errno, path)};
    if (!S_ISREG(status.st_mode))
        return Error{path + " is not a file."};
    if (static_cast<uint64_t>(status.st_size) > JobFormat::MaximumFileSize)
        return Error{path + " is too large to be a job file."};
    std::string bytes;
    char buffer[16384];
    for (;;) {
        ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return Error{fileErrorText(errno, path)};
        if (count == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(count));
        // The file may grow while it is read.
        if (bytes.size() > JobFormat::MaximumFileSize)
            return Error{path + " is too large to be a job file."};
    }
    return ProfileFile::parse(bytes);
}

Result<Ok> saveJobFile(const ProfileFile& profile, const std::string& path, bool ownerOnly)
{
    if (!profile.save(path, ownerOnly ? ProfileFile::Access::OwnerOnly : ProfileFile::Access::KeepPermissions))
        return Error{fileErrorText(errno, path)};
    return Ok{};
}

} // namespace quarvo
