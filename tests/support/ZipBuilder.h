#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quarvo::testing {

// Writes ZIP archives byte by byte for tests, independently of the program's own writers, so every
// field can be set to a lie. Each added entry gets a local header, its data as given and a central
// header that copies the local fields unless the test overrides them.
class ZipBuilder {
  public:
    struct Entry {
        std::string name;
        // The bytes written after the local header: stored data, or compressed data the test made.
        std::string data;
        uint16_t versionMadeBy = 0x031E; // Unix, 3.0
        uint16_t versionNeeded = 20;
        uint16_t flags = 0;
        uint16_t method = 0;
        uint16_t modTime = 0x6000; // 12:00:00
        uint16_t modDate = 0x5A21; // 2025-01-01
        uint32_t crc32 = 0;
        uint32_t compressedSize = 0;
        uint32_t uncompressedSize = 0;
        std::string extra;
        std::string comment;
        uint16_t internalAttributes = 0;
        uint32_t externalAttributes = 0100644u << 16;
        uint16_t diskNumberStart = 0;
        // Filled by add(): where the local header went. Tests may change it before finish().
        uint32_t localHeaderOffset = 0;
        // When set, the central header uses these instead of the local fields.
        std::string centralName;
        bool useCentralName = false;
    };

    // A stored entry with the right CRC and sizes.
    static Entry stored(std::string name, std::string data);
    // An entry whose data is raw deflate bytes the test compressed; CRC and size are of original.
    static Entry deflated(std::string name, std::string compressed, const std::string& original);

    // Writes the entry's local header and data; the entry is kept for the central directory.
    ZipBuilder& add(Entry entry);
    // Appends bytes that belong to no record (a stub, garbage, a second archive).
    ZipBuilder& appendRaw(const std::string& bytes);
    // The entries added so far, for tests that change central fields before finish().
    std::vector<Entry>& entries() { return m_entries; }
    size_t size() const { return m_bytes.size(); }

    // Overrides of the end record; unset fields are computed from what was written.
    struct End {
        int64_t thisDisk = -1;
        int64_t directoryStartDisk = -1;
        int64_t entriesOnThisDisk = -1;
        int64_t entriesTotal = -1;
        int64_t directorySize = -1;
        int64_t directoryOffset = -1;
        int64_t commentLength = -1;
        std::string comment;
    };
    // Writes the central directory and the end record and returns the archive.
    std::string finish(const End& end);
    std::string finish();
    // Writes only a central header for entry, as finish() does; for hand-built directories.
    static std::string centralHeader(const Entry& entry);
    // Writes an end record with exactly the given fields.
    static std::string endRecord(uint16_t thisDisk, uint16_t startDisk, uint16_t onThisDisk, uint16_t total,
                                 uint32_t size, uint32_t offset, const std::string& comment,
                                 int64_t commentLength = -1);
    // Writes a ZIP64 end record for a single disk and, after it, the locator that says it lies at
    // recordOffset; an end record with saturated fields goes after them.
    static std::string zip64EndRecords(uint64_t entries, uint64_t directorySize, uint64_t directoryOffset,
                                       uint64_t recordOffset);
    // A ZIP64 extra field holding the given 64-bit values, in the order the header saturates them.
    static std::string zip64Extra(std::initializer_list<uint64_t> values);
    // An archive of count empty stored entries e0, e1, ... after stub (whose length the offsets
    // count), with ZIP64 end records and a saturated count from 65,535 entries on, as Info-ZIP's
    // zip writes them.
    static std::string emptyEntries(size_t count, const std::string& stub = {});

  private:
    std::string m_bytes;
    std::vector<Entry> m_entries;
};

// CRC-32 (ISO-HDLC, as in ZIP), computed bit by bit, independent of zlib.
uint32_t crc32Of(const std::string& bytes);

// Little-endian field writers for hand-made records.
void putLE16(std::string& out, uint32_t value);
void putLE32(std::string& out, uint32_t value);
void putLE64(std::string& out, uint64_t value);

} // namespace quarvo::testing
