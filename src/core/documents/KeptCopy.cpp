#include "core/documents/KeptCopy.h"

#include "core/app/UserRuntimeDirectory.h"
#include "core/text/PathParts.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quarvo {

namespace {

constexpr size_t CopySize = 256 * 1024;

class Descriptor {
  public:
    explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_descriptor; }

  private:
    int m_descriptor;
};

Error systemError(const std::string& what)
{
    return Error{what + ": " + std::strerror(errno)};
}

bool writeAll(int descriptor, const uint8_t* data, size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

Result<Ok> copyContents(const std::string& from, const std::string& to)
{
    Descriptor source(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (source.get() < 0 || ::fstat(source.get(), &status) != 0)
        return systemError(from);
    if (!S_ISREG(status.st_mode))
        return Error{from + " is not a regular file"};
    Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (target.get() < 0)
        return systemError(to);
    std::vector<uint8_t> buffer(CopySize);
    for (;;) {
        ssize_t count = ::read(source.get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return systemError(from);
        if (count == 0)
            break;
        if (!writeAll(target.get(), buffer.data(), static_cast<size_t>(count)))
            return systemError(to);
    }
    struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (::futimens(target.get(), times) != 0 || ::fsync(target.get()) != 0)
        return systemError(to);
    return Ok{};
}

// The archive's file name without its extension, as the kept directory's name starts.
std::string archiveTitle(std::string_view archivePath)
{
    std::string_view name = fileNamePart(archivePath);
    std::string_view extension = extensionPart(name);
    if (!extension.empty())
        name.remove_suffix(extension.size() + 1);
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
