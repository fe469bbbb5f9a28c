#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

    // Appends bytes. False on the first failed write; every later call fails too. Small writes
    // are gathered in memory, so a failure may show only at a later call or at commit().
    bool write(std::span<const uint8_t> bytes);
    // Overwrites bytes already written (a header whose sizes became known); false for bytes not
    // written yet.
    bool writeAt(uint64_t offset, std::span<const uint8_t> bytes);
    // Drops everything from offset on, so an entry can be written again another way.
    bool truncateTo(uint64_t offset);
    uint64_t position() const { return m_position; }
    // The system's text for the failed write, and whether it was a full disk.
    const std::string& writeError() const { return m_writeError; }
    bool diskFull() const { return m_diskFull; }

    // Gives the new file the owner and group of the archive it replaces, where the user may: the
    // group when the user belongs to it, the owner only for root. Failing that it keeps the user's.
    void keepOwnership(uint32_t owner, uint32_t group);

    // Flushes the data, gives the file the permissions, renames it over target and flushes the
    // directory. On failure the file is removed and target is left as it was.
    bool commit(const std::string& target, uint32_t permissions, std::string& error);

  private:
    // Small entries cost two writes each (header, data); gathering them saves most system calls.
    static constexpr size_t BufferSize = 256 * 1024;

    bool writeOut(std::span<const uint8_t> bytes);
    bool flush();
    void failWrite(int error);
    void discard();

    int m_descriptor = -1;
    std::string m_directory;
    std::string m_namedPath; // empty while the file has no name
    uint64_t m_position = 0;  // the end of what was written, the buffer included
    std::vector<uint8_t> m_buffer; // the last bytes written, not yet in the file
    std::string m_writeError;
    bool m_diskFull = false;
    bool m_keepOwnership = false;
    uint32_t m_owner = 0;
    uint32_t m_group = 0;
};

} // namespace quarvo
