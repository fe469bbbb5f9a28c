#pragma once

#include "core/base/Result.h"
#include "core/zip/ByteSource.h"
#include "core/zip/ZipRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarvo {

// One entry of an archive that is being changed, with the extent of its local record so it can be
// copied as it is stored (never recompressed).
struct ExistingEntry {
    CentralHeaderFields fields;
    std::string rawName; // the stored bytes
    std::string extra;   // central extra field
    std::string comment;
    std::string name; // decoded to UTF-8, for matching
    // The sizes at their full width, from the ZIP64 extra field where the header saturates them.
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    // The directory record saturates a field: its extra field holds a ZIP64 block that a rewrite
    // replaces by one for the values as they are then.
    bool zip64Fields = false;
    uint64_t localOffset = 0;
    // Local header, data and data descriptor: the bytes to copy.
    uint64_t recordSize = 0;
};

// An archive as the compression engine needs it to write a changed copy.
struct ExistingArchive {
    std::vector<ExistingEntry> entries;
    std::string comment;
    // Bytes before the first local header (a self-extractor's program), or before the directory of
    // an archive without entries; every change keeps them. Entry offsets here count from the start
    // of the file even when the stored ones leave such bytes out (a stub joined with cat).
    uint64_t prefixSize = 0;
};

enum class ArchiveProblem {
    NotZip,    // no valid end record and directory
    Spanned,   // part of a set over several disks
    Damaged,   // a header or an extent does not fit
    ReadError, // the file could not be read
};

struct ArchiveReadError {
    ArchiveProblem problem;
    std::string message;
};

// Reads the directory of an archive and checks that every entry's local record lies whole inside
// the file, before the directory; nothing from the file is trusted before that check.
Result<ExistingArchive, ArchiveReadError> readExistingArchive(ByteSource& source);

// Reads count bytes at offset, failing on a short read.
bool readExactly(ByteSource& source, uint64_t offset, size_t count, std::vector<uint8_t>& out);

} // namespace quarvo
