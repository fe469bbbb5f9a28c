#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

// What the program knew about an archive file when it opened it for reading, to notice later
// that the file was changed behind its back.
struct ArchiveFileStatus {
    int64_t creationTime = 0;     // seconds since 1970; the change time where the birth time is unknown
    int64_t modificationTime = 0; // seconds since 1970
    int64_t accessTime = 0;       // seconds since 1970
    uint64_t size = 0;            // the length in bytes
    uint8_t attributes = 0;       // MS-DOS attribute bits (read-only, hidden, archive)
    std::string path;

    bool operator==(const ArchiveFileStatus&) const = default;
};

// The archive-level facts of an open ZIP archive: its end record, comment, totals and kind.
struct ZipArchiveRecord {
    // The end of central directory fields, in file order. With ZIP64 end records the counts, size
    // and offset are theirs wherever the end record's field is saturated.
    uint16_t thisDisk = 0;
    uint16_t directoryStartDisk = 0;
    uint64_t entriesOnThisDisk = 0;
    uint64_t entriesTotal = 0;
    uint64_t directorySize = 0;
    uint64_t directoryOffset = 0;
    uint16_t archiveCommentLength = 0;
    // Decoded to UTF-8 as a name without flag bit 11 is: valid UTF-8 as it is, anything else as code
    // page 437 (decodeArchiveText).
    std::string archiveComment;
    // Sums over the entries read.
    uint64_t totalCompressed = 0;
    uint64_t totalUncompressed = 0;
    ArchiveFileStatus fileStatus;
    // The end record found says this is not the first disk of a set.
    bool spanned = false;
    // ZIP64 end records stand before the end record.
    bool zip64 = false;
    // Set by the document: the archive is on a removable drive, so "insert the last diskette" helps
    // and the disks of a set can be swapped. Elsewhere a directory spread over disks is not read.
    bool onRemovableDrive = false;
    // 0 plain ZIP, 1 DOS self-extractor, 2 Windows self-extractor. A read sets it only when it
    // recognises a stub and never resets it to 0.
    int selfExtractorKind = 0;
};

namespace SelfExtractorKind {
constexpr int None = 0;
constexpr int Dos = 1;
constexpr int Windows = 2;
} // namespace SelfExtractorKind

} // namespace quarvo
