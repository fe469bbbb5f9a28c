#include "core/app/ScratchDirectory.h"

#include "core/app/DirectoryContentsRemoval.h"
#include "core/app/UserRuntimeDirectory.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace quarvo {

namespace {

constexpr const char* lockName = "lock";
constexpr std::string_view instancePrefix = "instance-";

std::string scratchRoot(const std::string& runtimeDirectory)
{
    return runtimeDirectory + "/scratch";
}

std::vector<std::string> instanceDirectoryNames(const std::string& root)
{
    std::vector<std::string> names;
    DIR* directory = ::opendir(root.c_str());
    if (!directory)
        return names;
    while (dirent* entry = ::readdir(directory)) {
        std::string_view name = entry->d_name;
        if (name.starts_with(instancePrefix))
            names.emplace_back(name);
    }
    ::closedir(directory);
    return names;
}

// Locks the instance directory's lock file without waiting; the descriptor, or -1 when another
// instance holds it (or it is gone).
int tryLock(const std::string& instanceDirectory)
{
    int fd = ::open((instanceDirectory + "/" + lockName).c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

Result<ScratchDirectory> ScratchDirectory::create(const std::string& runtimeDirectory,
                                                  const std::string& leafName)
{
    std::string root = scratchRoot(runtimeDirectory);
    if (auto made = ensurePrivateDirectory(root); !made)
        return made.error();

    // The directory is made under a name the sweep of other instances ignores, locked, and only then
    // given its instance name, so no other instance ever sees it unlocked.
    std::string staging = root + "/new-XXXXXX";
    if (!::mkdtemp(staging.data()))
        return Error{"Cannot create a directory in " + root + ": " + std::strerror(errno)};
    int lockFd =
        ::open((staging + "/" + lockName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd < 0 || ::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        if (lockFd >= 0)
            ::close(lockFd);
        removeDirectoryTree(staging);
        return Error{"Cannot lock " + staging};
    }
    std::string instance = root + "/" + std::string(instancePrefix) + staging.substr(staging.size() - 6);
    if (::rename(staging.c_str(), instance.c_str()) != 0) {
        ::close(lockFd);
        removeDirectoryTree(staging);
        return Error{"Cannot rename " + staging + ": " + std::strerror(errno)};
    }
    ScratchDirectory scratch(instance, leafName, lockFd);
    if (::mkdir(scratch.m_path.c_str(), 0700) != 0)
        return Error{"Cannot create " + scratch.m_path + ": " + std::strerror(errno)};
    removeAbandonedScratchDirectories(runtimeDirectory);
    return scratch;
}

ScratchDirectory::ScratchDirectory(std::string instanceDirectory, const std::string& leafName, int lockFd)
    : m_instanceDirectory(std::move(instanceDirectory)), m_path(m_instanceDirectory + "/" + leafName),
      m_lockFd(lockFd)
{
}

ScratchDirectory::ScratchDirectory(ScratchDirectory&& other) noexcept
    : m_instanceDirectory(std::exchange(other.m_instanceDirectory, {})),
      m_path(std::exchange(other.m_path, {})), m_lockFd(std::exchange(other.m_lockFd, -1))
{
}

ScratchDirectory& ScratchDirectory::operator=(ScratchDirectory&& other) noexcept
{
    if (this != &other) {
        remove();
        m_instanceDirectory = std::exchange(other.m_instanceDirectory, {});
        m_path = std::exchange(other.m_path, {});
        m_lockFd = std::exchange(other.m_lockFd, -1);
    }
    return *this;
}

ScratchDirectory::~ScratchDirectory()
{
    remove();
}

bool ScratchDirectory::empty()
{
    return !m_path.empty() && removeDirectoryContents(m_path);
}

void ScratchDirectory::remove()
{
    if (m_lockFd < 0)
        return;
    // Everything goes, the lock file included, while the lock is still held: a sweeping instance
    // never mistakes the half-removed directory for an abandoned one.
    removeDirectoryTree(m_instanceDirectory);
    ::close(m_lockFd);
    m_lockFd = -1;
    m_path.clear();
    m_instanceDirectory.clear();
}

int removeAbandonedScratchDirectories(const std::string& runtimeDirectory)
{
    std::string root = scratchRoot(runtimeDirectory);
    int removed = 0;
    for (const std::string& name : instanceDirectoryNames(root)) {
        std::string instance = root + "/" + name;
        int lockFd = tryLock(instance);
        if (lockFd < 0)
            continue;
        if (removeDirectoryTree(instance))
            ++removed;
        ::close(lockFd);
    }
    return removed;
}

} // namespace quarvo
