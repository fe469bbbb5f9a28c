#pragma once

#include "core/base/Result.h"
#include "core/base/UniqueFd.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quarvo {

// A file being written beneath the destination, unnamed (or under a temporary name where the file
// system has no unnamed files). commit() puts it in place under its final name; destroying it
// without commit() removes it, so a failed or cancelled entry leaves nothing behind.
class PendingFile {
  public:
    // A directory descriptor that every file being written in it shares, so none needs a copy.
    using SharedDirectory = std::shared_ptr<const UniqueFd>;

    PendingFile(SharedDirectory directory, UniqueFd file, std::string temporaryName, std::string finalName);
    // Starts writing finalName in directory under a temporary name. Needs no destination, so a
    // worker thread may call it with a directory the destination handed out. A file created with
    // the permission bits it will be sealed with (when the process's umask keeps them all) needs no
    // change of mode when sealed.
    static Result<PendingFile> create(SharedDirectory directory, const std::string& finalName,
                                      std::optional<mode_t> finalMode = std::nullopt);
    PendingFile(PendingFile&&) noexcept = default;
    ~PendingFile();

    // Writes all of bytes; false on a write error.
    bool write(std::span<const uint8_t> bytes);
    // Writes all of bytes at offset, leaving a hole before it when nothing was written there (a
    // sparse file stays sparse); false on a write error.
    bool writeAt(uint64_t offset, std::span<const uint8_t> bytes);
    // Makes the file size bytes long, a hole at the end when it grows; false on an error.
    bool resize(uint64_t size);
    // The device and inode of the file, which the final name has once committed; nothing when the
    // system cannot say.
    std::optional<std::pair<dev_t, ino_t>> identity() const;
    // Sets permission bits and modification time, then puts the file in place under the final name
    // (replacing a file or link of that name, never writing through it). Fails with the system's
    // reason.
    Result<Ok> commit(mode_t mode, std::time_t modificationTime);
    Result<Ok> commit(mode_t mode, const struct timespec& modificationTime);
    // The same in two steps, so that a worker thread can finish the file while the thread that
    // owns the destination decides when it appears: seal() sets permission bits and modification
    // time (no more writes; a file with a temporary name is closed), commit() then puts it in place.
    // A failed seal discards the file.
    Result<Ok> seal(mode_t mode, const struct timespec& modificationTime);
    Result<Ok> commit();

  private:
    void discard();
    // Links the unnamed file to the final name (or over it, through a temporary name, when the
    // name is taken) and closes it.
    Result<Ok> linkIntoPlace();
    SharedDirectory m_directory;
    UniqueFd m_file;
    std::string m_temporaryName; // empty while the file has no name
    std::string m_finalName;
    mode_t m_createdMode = 0;
    bool m_committed = false;
};

// The directory an archive is extracted into. Every path is resolved from its descriptor one
// component at a time with O_NOFOLLOW, so nothing is created, written or followed outside it,
// whatever the entry names and whatever links were planted inside it before.
class Destination {
  public:
    // Opens (after creating it if needed) the directory at path.
    static Result<Destination> open(const std::string& path);

    // Opens the directory that holds components' last element, creating missing directories on
    // the way; fails when a component is a link or not a directory.
    Result<UniqueFd> openParent(const std::vector<std::string>& components, bool create);
    // Creates every directory of components (all of them, the last included).
    Result<Ok> makeDirectories(const std::vector<std::string>& components);
    // The status of the last component without following a link, or nothing when it does not exist.
    Result<std::optional<struct stat>> statusOf(const std::vector<std::string>& components);
    // Starts writing the file named by components under a temporary name in its directory.
    Result<PendingFile> createFile(const std::vector<std::string>& components);
    // The directory that holds components' last element, made when missing, to create the file in
    // later with PendingFile::create.
    Result<PendingFile::SharedDirectory> directoryFor(const std::vector<std::string>& components)
    {
        return sharedParentOf(components, true);
    }
    // Sets the permission bits (when given) and the modification time of the directory named by
    // components, without following a link. Meant for after the files inside it are written, since
    // writing them changes its time and a read-only mode would stop them.
    Result<Ok> restoreDirectory(const std::vector<std::string>& components, std::optional<mode_t> mode,
                                const struct timespec& modificationTime);
    // Creates a symbolic link, replacing a file or link of that name, with the link's own
    // modification time when given.
    Result<Ok> makeLink(const std::vector<std::string>& components, const std::string& target,
                        const std::optional<struct timespec>& modificationTime = std::nullopt);
    // Creates a hard link at components to the file at target (both beneath the destination, every
    // directory on the way reached without following a link; a link named last is linked itself,
    // not followed), replacing a file or link of that name.
    Result<Ok> makeHardLink(const std::vector<std::string>& components,
                            const std::vector<std::string>& target);

    // Every directory this destination creates from now on is noted, parents before children, until
    // takeCreatedDirectories() hands the notes over. An extraction that prepares entries ahead of
    // the one it reports uses them to take back what a cancelled entry made.
    void noteCreatedDirectories() { m_noting = true; }
    std::vector<std::vector<std::string>> takeCreatedDirectories() { return std::exchange(m_created, {}); }
    // Removes the directory named by components when it is empty; anything else stays as it is.
    void removeIfEmpty(const std::vector<std::string>& components);

  private:
    explicit Destination(UniqueFd root) : m_root(std::make_shared<const UniqueFd>(std::move(root))) {}
    // The descriptor of the directory that holds components' last element, owned by the cache.
    Result<int> parentOf(const std::vector<std::string>& components, bool create);
    Result<PendingFile::SharedDirectory> sharedParentOf(const std::vector<std::string>& components, bool create);
    // mkdirat, noting the directory when it was made and notes are kept.
    int makeDirectory(int at, const std::vector<std::string>& components, size_t count);

    PendingFile::SharedDirectory m_root;
    // The directory reached last, and the components that lead to it: archives list the files of
    // one directory together, so most entries skip opening every component again. It was reached
    // with O_NOFOLLOW like any other, and an extraction never replaces a directory (a file or link
    // renamed over one fails), so the descriptor stays the directory it was.
    std::vector<std::string> m_cachedPath;
    PendingFile::SharedDirectory m_cachedDirectory;
    bool m_noting = false;
    std::vector<std::vector<std::string>> m_created;
};

// The system's text for errno value error.
std::string systemError(int error);

} // namespace quarvo
