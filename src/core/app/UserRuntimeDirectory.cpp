#include "core/app/UserRuntimeDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr mode_t groupAndOthers = S_IRWXG | S_IRWXO;

Error systemError(const std::string& what, const std::string& path)
{
    return Error{what + " " + path + ": " + std::strerror(errno)};
}

// True when path is a real directory of this user that nobody else may enter.
bool isClosedUserDirectory(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & groupAndOthers) == 0;
}

} // namespace

Result<Ok> ensurePrivateDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return systemError("Cannot create", path);
    // Judge what is really there through a descriptor, so a link swapped in meanwhile is not followed.
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return systemError("Cannot open", path);
    struct stat status {};
    bool ok = ::fstat(fd, &status) == 0 && status.st_uid == ::geteuid();
    if (ok && (status.st_mode & groupAndOthers) != 0)
        ok = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    if (!ok)
        return Error{"Not a private directory of this user: " + path};
    return Ok{};
}

Result<std::string> userRuntimeDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/' && isClosedUserDirectory(runtime)) {
        std::string path = std::string(runtime) + "/quarvo";
        auto made = ensurePrivateDirectory(path);
        if (made)
            return path;
    }
    std::error_code error;
    std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error)
        temporary = "/tmp";
    std::string path = (temporary / ("quarvo-" + std::to_string(::geteuid()))).string();
    auto made = ensurePrivateDirectory(path);
    if (!made)
        return made.error();
    return path;
}

Result<std::string> userCacheDirectory()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string base;
    if (cache && *cache == '/') {
        base = cache;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || *home != '/')
            return Error{"Neither XDG_CACHE_HOME nor HOME names a directory"};
        base = std::string(home) + "/.cache";
    }
    std::error_code error;
    std::filesystem::create_directories(base, error);
    std::string path = base + "/quarvo";
    auto made = ensurePrivateDirectory(path);
    if (!made)
        return made.error();
    return path;
}

std::string executableBaseName(std::string_view executablePath)
{
    size_t slash = executablePath.find_last_of('/');
    std::string_view name =
        slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

std::string instanceSocketPath(const std::string& runtimeDirectory, std::string_view executableBaseName)
{
    return runtimeDirectory + "/" + std::string(executableBaseName) + "system";
}

} // namespace quarvo
