#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarvo::testing {

// Writes ustar archives block by block for tests, independently of any TAR library, so every header
// field can be set to a lie (a size far past the end, a bad checksum, a name with "..").
class TarBuilder {
  public:
    struct Entry {
        std::string name;
        char type =
            '0'; // ustar typeflag: 0 file, 1 hard link, 2 symbolic link, 3/4 devices, 5 directory, 6 FIFO
        std::string data;
        uint32_t mode = 0644;
        int64_t modificationTime = 1735732800; // 2025-01-01 12:00:00 UTC
        std::string linkName;
        std::optional<uint64_t> declaredSize; // the size field, when it is to differ from the data
        bool breakChecksum = false;
    };

    static Entry file(std::string name, std::string data, uint32_t mode = 0644);
    static Entry directory(std::string name, uint32_t mode = 0755);
    static Entry symbolicLink(std::string name, std::string target);
    static Entry hardLink(std::string name, std::string target);
    static Entry special(std::string name, char type);

    TarBuilder& add(const Entry& entry);
    // The archive: every entry, then the two zero blocks that end it.
    std::string finish() const;
    // The archive without its end marker (for appending, or cutting short).
    const std::string& body() const { return m_bytes; }

    // The 512-byte header of an entry.
    static std::string header(const Entry& entry);

  private:
    std::string m_bytes;
};

// The GZIP form of data as zlib writes it, with storedName in the header when given.
std::string gzipOf(const std::string& data, const char* storedName = nullptr);

} // namespace quarvo::testing
