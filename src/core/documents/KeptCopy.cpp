#include "core/documents/KeptCopy.h"

#include "core/app/UserRuntimeDirectory.h"
#include "core/base/UniqueFd.h"
#include "core/documents/FileCopy.h"
#include "core/text/PathParts.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr size_t CopySize = 256 * 1024;

Error systemError(const std::string& what, int error = errno)
{
    return Error{what + ": " + std::strerror(error)};
}

Result<Ok> copyContents(const std::string& from, const std::string& to)
{
    UniqueFd source(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (source.get() < 0 || ::fstat(source.get(), &status) != 0)
        return systemError(from);
    if (!S_ISREG(status.st_mode))
        return Error{from + " is not a regular file"};
    UniqueFd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (target.get() < 0)
        return systemError(to);
    if (int error = copyFileData(source.get(), target.get(), CopySize))
        return systemError(to, error);
    struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (::futimens(target.get(), times) != 0 || ::fsync(target.get()) != 0)
        return systemError(to);
    return Ok{};
}

// The archive's file name without its extension, as the kept directory's name starts.
std::string archiveTitle(std::string_view archivePath)
{
    std::string_view name = fileTitlePart(archivePath);
    return name.empty() ? std::string("archive") : std::string(name);
}

} // namespace

std::string defaultKeptCopiesDirectory()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return std::string(dataHome) + "/quarvo/kept";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] == '/' ? home : "") + "/.local/share/quarvo/kept";
}

Result<std::string> keepChangedCopy(const std::string& copy, const std::string& keptRoot,
                                    std::string_view archivePath)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(keptRoot).parent_path(), error);
    if (auto made = ensurePrivateDirectory(keptRoot); !made)
        return made.error();
    std::string directory = keptRoot + "/" + archiveTitle(archivePath) + "-XXXXXX";
    if (!::mkdtemp(directory.data()))
        return systemError(keptRoot);
    std::string name(fileNamePart(copy));
    std::string kept = directory + "/" + (name.empty() ? std::string("file") : name);
    if (Result<Ok> copied = copyContents(copy, kept); !copied) {
        ::unlink(kept.c_str());
        ::rmdir(directory.c_str());
        return copied.error();
    }
    return kept;
}

} // namespace quarvo
