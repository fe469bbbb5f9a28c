#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quarvo {

// The file a changed archive is built in, beside its final place (or in a chosen directory on the
// same file system). It has no name until commit(), where available, so a crash leaves nothing
// behind; otherwise it is a hidden file removed again whenever the build does not finish. commit()
// flushes it to disk and renames it over the target in one step, so the target is either the old
// archive or the whole new one.
class TemporaryArchive {
  public:
    TemporaryArchive() = default;
    ~TemporaryArchive();
    TemporaryArchive(const TemporaryArchive&) = delete;
    TemporaryArchive& operator=(const TemporaryArchive&) = delete;

    // Creates the file in directory. Fails with a text for the user.
    bool create(const std::string& directory, std::string& error);

    // Appends bytes. False on the first failed write; every later call fails too.
    bool write(std::span<const uint8_t> bytes);
    // Overwrites bytes already written (a header whose sizes became known).
    bool writeAt(uint64_t offset, std::span<const uint8_t> bytes);
    // Drops everything from offset on, so an entry can be written again another way.
    bool truncateTo(uint64_t offset);
    uint64_t position() const { return m_position; }
    // The system's text for the failed write, and whether it was a full disk.
    const std::string& writeError() const { return m_writeError; }
    bool diskFull() const { return m_diskFull; }

    // Flushes the data, gives the file the permissions, renames it over target and flushes the
    // directory. On failure the file is removed and target is left as it was.
    bool commit(const std::string& target, uint32_t permissions, std::string& error);

  private:
    void failWrite(int error);
    void discard();

    int m_descriptor = -1;
    std::string m_directory;
    std::string m_namedPath; // empty while the file has no name
    uint64_t m_position = 0;
    std::string m_writeError;
    bool m_diskFull = false;
};

} // namespace quarvo
