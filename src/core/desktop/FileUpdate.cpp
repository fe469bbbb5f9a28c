#include "core/desktop/FileUpdate.h"

#include "core/base/DescriptorWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

// Registration files are small; anything larger is no file of ours to compare.
constexpr off_t LargestComparedFile = 16 * 1024 * 1024;

Error systemError(const std::string& path, int code)
{
    return Error{path + ": " + std::strerror(code)};
}

} // namespace

std::optional<std::string> readRegularFile(const std::string& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<std::string> content;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= LargestComparedFile) {
        content.emplace();
        char buffer[8192];
        for (;;) {
            ssize_t count = ::read(descriptor, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                content.reset();
            if (count <= 0)
                break;
            content->append(buffer, static_cast<size_t>(count));
        }
    }
    ::close(descriptor);
    return content;
}

Result<bool> writeFileIfChanged(const std::string& path, std::string_view content)
{
    if (std::optional<std::string> old = readRegularFile(path); old && *old == content)
        return false;
    std::filesystem::path target(path);
    std::error_code directoryError;
    std::filesystem::create_directories(target.parent_path(), directoryError);
    if (directoryError)
        return systemError(target.parent_path().string(), directoryError.value());

    std::string temporary = path + ".XXXXXX";
    int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return systemError(path, errno);
    // mkstemp makes the file 0600; these files are for every program of the desktop to read.
    int failure = 0;
    errno = 0;
    if (::fchmod(descriptor, 0644) != 0 || writeFully(descriptor, content) != 0)
        failure = errno != 0 ? errno : EIO;
    if (::close(descriptor) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(temporary.c_str());
        return systemError(path, failure);
    }
    return true;
}

} // namespace quarvo
