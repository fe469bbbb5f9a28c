#include "engines/common/Destination.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr mode_t DirectoryMode = 0755;
// What a file is created with when its final mode is not known yet or the umask would change it.
constexpr mode_t PrivateFileMode = 0600;

Error errorFrom(int error)
{
    return Error{systemError(error)};
}

// A name for a file being written, unlikely to clash and never reused within a run. The process id
// is taken once: a forked child that writes into the same directory only meets a name in use, which
// the system reports as taken and the caller retries with the next number.
std::string temporaryNameFor(const std::string& finalName)
{
    static std::atomic<unsigned> counter{0};
    static const std::string process = std::to_string(::getpid());
    std::string prefix = finalName.substr(0, 32);
    return ".~" + prefix + "." + process + "." + std::to_string(counter++) + ".part";
}

// Makes something under a fresh temporary name for finalName: make returns 0 or the system's
// error, and a name that is taken (EEXIST) is retried with the next. The name made, or the error.
Result<std::string> makeUnderTemporaryName(const std::string& finalName,
                                           const std::function<int(const std::string&)>& make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = temporaryNameFor(finalName);
        const int error = make(temporary);
        if (error == 0)
            return temporary;
        if (error != EEXIST)
            return errorFrom(error);
    }
    return errorFrom(EEXIST);
}

// Renames what was made under temporary in directory over finalName, which replaces a file or link
// of that name rather than following it. A failed rename removes what was made.
Result<Ok> renameIntoPlace(int directory, const std::string& temporary, const std::string& finalName)
{
    if (::renameat(directory, temporary.c_str(), directory, finalName.c_str()) != 0) {
        int error = errno;
        ::unlinkat(directory, temporary.c_str(), 0);
        return errorFrom(error);
    }
    return Ok{};
}

// The process's umask as /proc tells it, read once; nothing when it cannot be read. umask(2) itself
// cannot be read without changing it, which other threads would see.
std::optional<mode_t> creationMask()
{
    static const std::optional<mode_t> mask = []() -> std::optional<mode_t> {
        std::FILE* status = std::fopen("/proc/self/status", "re");
        if (!status)
            return std::nullopt;
        std::optional<mode_t> found;
        char line[256];
        while (!found && std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1)
                found = static_cast<mode_t>(value);
        }
        std::fclose(status);
        return found;
    }();
    return mask;
}

// Whether a file opened unnamed can later be given a name. Linking it through its descriptor needs a
// right root has (and, on recent kernels, the process that opened it); /proc/self/fd serves every
// other process. Without /proc, files are written under temporary names.
bool unnamedFilesCanBeLinked()
{
    static const bool possible = ::access("/proc/self/fd", X_OK) == 0;
    return possible;
}

// Gives the unnamed file open as fd the name name in directory; 0 or the system's error. EEXIST when
// the name is taken: nothing is replaced.
int linkUnnamed(int fd, int directory, const std::string& name)
{
    static std::atomic<bool> throughDescriptor{true};
    if (throughDescriptor.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", directory, name.c_str(), AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT && errno != EPERM)
            return errno;
        // Without the right to, the kernel answers as if the file were not there.
        throughDescriptor.store(false, std::memory_order_relaxed);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, path.c_str(), directory, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

} // namespace

std::string systemError(int error)
{
    return std::strerror(error);
}

PendingFile::PendingFile(SharedDirectory directory, UniqueFd file, std::string temporaryName, std::string finalName)
    : m_directory(std::move(directory)), m_file(std::move(file)), m_temporaryName(std::move(temporaryName)),
      m_finalName(std::move(finalName))
{
}

Result<PendingFile> PendingFile::create(SharedDirectory directory, const std::string& finalName,
                                       std::optional<mode_t> finalMode)
{
    if (finalName.size() > NAME_MAX)
        return errorFrom(ENAMETOOLONG);
    const std::optional<mode_t> mask = creationMask();
    const mode_t mode = finalMode && mask && (*finalMode & *mask) == 0 ? *finalMode : PrivateFileMode;
    // Unnamed until linked in place: it needs no name, and no lock on the directory, while it is
    // written, and vanishes with the process should that end first. File systems without unnamed
    // files get a temporary name instead.
    if (unnamedFilesCanBeLinked()) {
        int fd = ::openat(directory->get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            PendingFile file(std::move(directory), UniqueFd(fd), {}, finalName);
            file.m_createdMode = mode;
            return file;
        }
    }
    int fd = -1;
    Result<std::string> temporary = makeUnderTemporaryName(finalName, [&](const std::string& name) {
        fd = ::openat(directory->get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        return fd >= 0 ? 0 : errno;
    });
    if (!temporary)
        return temporary.error();
    PendingFile file(std::move(directory), UniqueFd(fd), std::move(temporary).value(), finalName);
    file.m_createdMode = mode;
    return file;
}

PendingFile::~PendingFile()
{
    if (!m_committed && m_directory)
        discard();
}

void PendingFile::discard()
{
    m_file = UniqueFd();
    if (!m_temporaryName.empty())
        ::unlinkat(m_directory->get(), m_temporaryName.c_str(), 0);
    m_committed = true;
}

bool PendingFile::write(std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        ssize_t count = ::write(m_file.get(), bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(count));
    }
    return true;
}

bool PendingFile::writeAt(uint64_t offset, std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        ssize_t count = ::pwrite(m_file.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(count));
        offset += static_cast<uint64_t>(count);
    }
    return true;
}

bool PendingFile::resize(uint64_t size)
{
    return ::ftruncate(m_file.get(), static_cast<off_t>(size)) == 0;
}

std::optional<std::pair<dev_t, ino_t>> PendingFile::identity() const
{
    struct stat status {};
    if (!m_file || ::fstat(m_file.get(), &status) != 0)
        return std::nullopt;
    return std::make_pair(status.st_dev, status.st_ino);
}

Result<Ok> PendingFile::commit(mode_t mode, std::time_t modificationTime)
{
    return commit(mode, timespec{modificationTime, 0});
}

Result<Ok> PendingFile::commit(mode_t mode, const struct timespec& modificationTime)
{
    Result<Ok> sealed = seal(mode, modificationTime);
    if (!sealed)
        return sealed;
    return commit();
}

Result<Ok> PendingFile::seal(mode_t mode, const struct timespec& modificationTime)
{
    struct timespec times[2] = {{0, UTIME_NOW}, modificationTime};
    // An unnamed file stays open until it is linked: closing it would delete it.
    if ((mode != m_createdMode && ::fchmod(m_file.get(), mode) != 0) || ::futimens(m_file.get(), times) != 0 ||
        (!m_temporaryName.empty() && ::close(m_file.release()) != 0)) {
        int error = errno;
        discard();
        return errorFrom(error);
    }
    return Ok{};
}

Result<Ok> PendingFile::commit()
{
    Result<Ok> placed = m_temporaryName.empty() ? linkIntoPlace()
                                                : renameIntoPlace(m_directory->get(), m_temporaryName, m_finalName);
    // Whatever had a temporary name is in place now, or was removed by the step that failed.
    m_temporaryName.clear();
    if (!placed) {
        discard();
        return placed;
    }
    m_committed = true;
    return Ok{};
}

Result<Ok> PendingFile::linkIntoPlace()
{
    const int directory = m_directory->get();
    const int fd = m_file.get();
    const int error = linkUnnamed(fd, directory, m_finalName);
    if (error == EEXIST) {
        // Something has the name: the file is linked under a temporary name and renamed over it,
        // which replaces a file or link without writing through it.
        Result<std::string> temporary = makeUnderTemporaryName(
            m_finalName, [&](const std::string& name) { return linkUnnamed(fd, directory, name); });
        if (!temporary)
            return temporary.error();
        if (Result<Ok> renamed = renameIntoPlace(directory, *temporary, m_finalName); !renamed)
            return renamed;
    } else if (error != 0) {
        return errorFrom(error);
    }
    if (::close(m_file.release()) != 0) {
        // The data may not have reached the disk: the file is taken back rather than left in place.
        const int closeError = errno;
        ::unlinkat(directory, m_finalName.c_str(), 0);
        return errorFrom(closeError);
    }
    return Ok{};
}

Result<Destination> Destination::open(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errorFrom(errno);
    return Destination(UniqueFd(fd));
}

Result<int> Destination::parentOf(const std::vector<std::string>& components, bool create)
{
    Result<PendingFile::SharedDirectory> parent = sharedParentOf(components, create);
    if (!parent)
        return parent.error();
    return parent.value()->get();
}

Result<PendingFile::SharedDirectory> Destination::sharedParentOf(const std::vector<std::string>& components,
                                                                 bool create)
{
    const size_t depth = components.empty() ? 0 : components.size() - 1;
    if (depth == 0)
        return m_root;
    if (m_cachedDirectory && m_cachedPath.size() == depth &&
        std::equal(m_cachedPath.begin(), m_cachedPath.end(), components.begin()))
        return m_cachedDirectory;
    UniqueFd current;
    int at = m_root->get();
    for (size_t i = 0; i < depth; ++i) {
        const char* part = components[i].c_str();
        if (create && makeDirectory(at, components, i + 1) != 0 && errno != EEXIST)
            return errorFrom(errno);
        int next = ::openat(at, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            int error = errno;
            if (error == ELOOP || error == ENOTDIR)
                return Error{"\"" + components[i] + "\" is a link or not a directory"};
            return errorFrom(error);
        }
        current = UniqueFd(next);
        at = next;
    }
    m_cachedDirectory = std::make_shared<const UniqueFd>(std::move(current));
    m_cachedPath.assign(components.begin(), components.begin() + static_cast<ptrdiff_t>(depth));
    return m_cachedDirectory;
}

Result<UniqueFd> Destination::openParent(const std::vector<std::string>& components, bool create)
{
    Result<int> parent = parentOf(components, create);
    if (!parent)
        return parent.error();
    UniqueFd copy(::dup(*parent));
    if (!copy)
        return errorFrom(errno);
    return copy;
}

Result<Ok> Destination::makeDirectories(const std::vector<std::string>& components)
{
    Result<int> parent = parentOf(components, true);
    if (!parent)
        return parent.error();
    const std::string& last = components.back();
    if (makeDirectory(*parent, components, components.size()) == 0)
        return Ok{};
    struct stat status {};
    if (errno == EEXIST && ::fstatat(*parent, last.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(status.st_mode))
        return Ok{};
    return Error{"\"" + last + "\" exists and is not a directory"};
}

Result<Ok> Destination::restoreDirectory(const std::vector<std::string>& components,
                                         std::optional<mode_t> mode, const struct timespec& modificationTime)
{
    Result<int> parent = parentOf(components, false);
    if (!parent)
        return parent.error();
    UniqueFd directory(
        ::openat(*parent, components.back().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!directory)
        return errorFrom(errno);
    struct timespec times[2] = {{0, UTIME_NOW}, modificationTime};
    if ((mode && ::fchmod(directory.get(), *mode) != 0) || ::futimens(directory.get(), times) != 0)
        return errorFrom(errno);
    return Ok{};
}

Result<std::optional<struct stat>> Destination::statusOf(const std::vector<std::string>& components)
{
    Result<int> parent = parentOf(components, false);
    if (!parent) {
        // A missing directory on the way means the file is missing too.
        return std::optional<struct stat>();
    }
    struct stat status {};
    if (::fstatat(*parent, components.back().c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return std::optional<struct stat>();
        return errorFrom(errno);
    }
    return std::optional<struct stat>(status);
}

Result<PendingFile> Destination::createFile(const std::vector<std::string>& components)
{
    Result<PendingFile::SharedDirectory> parent = sharedParentOf(components, true);
    if (!parent)
        return parent.error();
    return PendingFile::create(std::move(parent).value(), components.back());
}

Result<Ok> Destination::makeLink(const std::vector<std::string>& components, const std::string& target,
                                 const std::optional<struct timespec>& modificationTime)
{
    Result<int> parent = parentOf(components, true);
    if (!parent)
        return parent.error();
    // Made under a temporary name and renamed, so a file or link already there is replaced
    // rather than followed.
    Result<std::string> temporary = makeUnderTemporaryName(components.back(), [&](const std::string& name) {
        return ::symlinkat(target.c_str(), *parent, name.c_str()) == 0 ? 0 : errno;
    });
    if (!temporary)
        return temporary.error();
    // The link's own time, as tar gives it; a file system that cannot set it keeps the link.
    if (modificationTime) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, *modificationTime};
        ::utimensat(*parent, temporary->c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    return renameIntoPlace(*parent, *temporary, components.back());
}

Result<Ok> Destination::makeHardLink(const std::vector<std::string>& components,
                                     const std::vector<std::string>& target)
{
    // The target's directory is a descriptor of its own: looking up the link's directory may
    // replace the cached one.
    Result<UniqueFd> targetParent = openParent(target, false);
    if (!targetParent)
        return targetParent.error();
    Result<int> parent = parentOf(components, true);
    if (!parent)
        return parent.error();
    // Without AT_SYMLINK_FOLLOW a target that is a symbolic link is linked itself, not followed.
    Result<std::string> temporary = makeUnderTemporaryName(components.back(), [&](const std::string& name) {
        return ::linkat(targetParent->get(), target.back().c_str(), *parent, name.c_str(), 0) == 0 ? 0 : errno;
    });
    if (!temporary)
        return temporary.error();
    return renameIntoPlace(*parent, *temporary, components.back());
}

int Destination::makeDirectory(int at, const std::vector<std::string>& components, size_t count)
{
    const int made = ::mkdirat(at, components[count - 1].c_str(), DirectoryMode);
    if (made == 0 && m_noting)
        m_created.emplace_back(components.begin(), components.begin() + static_cast<ptrdiff_t>(count));
    return made;
}

void Destination::removeIfEmpty(const std::vector<std::string>& components)
{
    Result<int> parent = parentOf(components, false);
    if (parent && !components.empty())
        ::unlinkat(*parent, components.back().c_str(), AT_REMOVEDIR);
}

} // namespace quarvo
