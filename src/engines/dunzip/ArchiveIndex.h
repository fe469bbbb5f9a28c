#pragma once

#include "core/base/Result.h"
#include "core/zip/ByteSource.h"
#include "core/zip/EndRecordSearch.h"
#include "core/zip/WinZipAesField.h"
#include "core/zip/ZipRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarvo {

// One entry of the central directory as dunzip works with it. The central directory is the
// authority: local headers are checked against these values, never trusted instead of them.
struct ArchiveEntry {
    // The header as stored: sizes and offset there may be saturated, so use the wide values below.
    CentralHeaderFields fields;
    std::string storedName; // the bytes as stored
    std::string name;       // decoded to UTF-8
    int32_t index = 0;
    // Sizes and the position of the local header in the file, at full width from the ZIP64 extra
    // field where the header's fields are saturated; the offset counts any data in front of the
    // archive.
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint64_t localHeaderOffset = 0;
    // Why this entry alone cannot be read (its ZIP64 field is damaged, it starts on another disk);
    // empty when it can. The other entries are still worth extracting.
    std::string damage;
    // Modification time from the extended-timestamp extra field (seconds since 1970), when given.
    std::optional<int64_t> unixModificationTime;
    // For an AES entry (method 99): its field, or why it is unusable.
    std::optional<WinZipAesField> aes;
    AesFieldError aesProblem = AesFieldError::Missing;
};

// Why an archive cannot be worked on; code is an EngineResult.
struct IndexError {
    uint16_t code = 0;
    std::string message;
};

// The central directory of an archive, read and checked as a whole before any entry is touched.
struct ArchiveIndex {
    EndRecordCandidate end;
    // Where the directory really is (its start is a position in the file, at 64 bits), and the
    // length of any data in front of the archive.
    DirectoryLocation directory;
    std::vector<ArchiveEntry> entries;

    // Finds the one end record that describes a real directory, reads every central header and
    // decodes the names. An end record whose directory is at its recorded offset wins over one whose
    // directory is found only by taking data in front of the archive into account. Fails when no end
    // record or more than one consistent end record of the same kind is found (ambiguous archives
    // are reported, never read one way silently), on multi-disk archives, and when the directory does
    // not hold the records its end record promises. ZIP64 records are read at their full width.
    static Result<ArchiveIndex, IndexError> load(ByteSource& source);
};

// Where an entry's bytes lie, from its local header to the end of its data.
struct EntrySpan {
    uint64_t begin = 0;
    uint64_t end = 0;
    size_t entry = 0;
};

// The spans of all sound entries whose local header can be read, and the first pair whose data
// overlap, if any. Overlapping entries are how the smallest zip bombs multiply one compressed kernel.
struct OverlapReport {
    size_t overlappingEntries = 0;
    std::optional<std::pair<size_t, size_t>> firstPair;
};
OverlapReport findOverlappingEntries(ByteSource& source, const std::vector<ArchiveEntry>& entries);

} // namespace quarvo
