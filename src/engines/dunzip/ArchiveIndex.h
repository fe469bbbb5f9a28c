#pragma once

#include "core/base/Result.h"
#include "core/zip/ByteSource.h"
#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarvo {

// One entry of the central directory as dunzip works with it. The central directory is the
// authority: local headers are checked against these values, never trusted instead of them.
struct ArchiveEntry {
    CentralHeaderFields fields;
    std::string storedName; // the bytes as stored
    std::string name;       // decoded to UTF-8
    int32_t index = 0;
    // Sizes or the offset live in a ZIP64 extra field: not supported yet.
    bool needsZip64 = false;
    // Modification time from the extended-timestamp extra field (seconds since 1970), when given.
    std::optional<int64_t> unixModificationTime;
};

// Why an archive cannot be worked on; code is an EngineResult.
struct IndexError {
    uint16_t code = 0;
    std::string message;
};

// The central directory of an archive, read and checked as a whole before any entry is touched.
struct ArchiveIndex {
    EndRecordCandidate end;
    std::vector<ArchiveEntry> entries;

    // Finds the one end record that describes a real directory, reads every central header and
    // decodes the names. Fails when no end record or more than one consistent end record is found
    // (ambiguous archives are reported, never read one way silently), on ZIP64 and multi-disk
    // archives, and when the directory does not hold the records its end record promises.
    static Result<ArchiveIndex, IndexError> load(ByteSource& source);
};

// Where an entry's bytes lie, from its local header to the end of its data.
struct EntrySpan {
    uint64_t begin = 0;
    uint64_t end = 0;
    size_t entry = 0;
};

// The spans of all entries whose local header can be read, and the first pair whose data overlap,
// if any. Overlapping entries are how the smallest zip bombs multiply one compressed kernel.
struct OverlapReport {
    size_t overlappingEntries = 0;
    std::optional<std::pair<size_t, size_t>> firstPair;
};
OverlapReport findOverlappingEntries(ByteSource& source, const std::vector<ArchiveEntry>& entries);

} // namespace quarvo
