#pragma once

#include "core/base/Result.h"
#include "core/zip/ByteSource.h"
#include "core/zip/ZipRecords.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quarvo {

namespace endsearch {
// The search reads the tail of the file backwards in blocks of this size...
constexpr size_t BlockSize = 4096;
// ...and never reads a block that starts more than this many bytes before the end: the end record
// can be at most 22 bytes plus a 65535-byte comment from the end.
constexpr uint64_t MaximumDistance = 0xFFFF;
} // namespace endsearch

enum class EndRecordSearchMode {
    FirstHit, // stop at the signature nearest the end of the file
    AllHits,  // every signature in the searched tail
};

// Looks for end of central directory signatures in the tail of the source, nearest the end first.
// Reads blocks of 4096 bytes backwards from the end, each scanned from its last byte down to its
// first with a 3-byte overlap into the block after it, so a signature split between two blocks is
// found; stops before a block that would start more than 65535 bytes before the end (a file of up
// to 65535 bytes is searched whole, a longer one in its last 61440 bytes). A file shorter than 22
// bytes has none. Fails on a short read; an empty list means no signature was found.
Result<std::vector<uint64_t>> findEndRecordSignatures(ByteSource& source, EndRecordSearchMode mode);

// An end record found in a file.
struct EndRecordCandidate {
    uint64_t offset = 0; // of its signature
    EndRecordFields fields;
};

// Reads the 18 bytes after the signature at offset. Fails when fewer are there.
Result<EndRecordCandidate> readEndRecordAt(ByteSource& source, uint64_t offset);

// Where the directory an end record describes really lies, with the values of the ZIP64 end record
// when a locator stands right before the end record and the 32-bit field is saturated.
struct DirectoryLocation {
    enum class Fit {
        None,    // no directory there: the four bytes belong to something else, or the archive is damaged
        Exact,   // at the recorded offset
        Shifted, // right before the end record, with data put in front of the archive (a stub
                 // joined with cat) that none of its stored positions counts
    };
    Fit fit = Fit::None;
    uint64_t start = 0;           // of the first central header
    uint64_t size = 0;            // of the directory in bytes
    uint64_t entriesTotal = 0;    // as the end records count them
    uint64_t prependedLength = 0; // to add to every stored position (0 unless Shifted)
    // A ZIP64 end record locator stands right before the end record: the values above may need more
    // than 32 bits. Also set, with fit None, when the ZIP64 end record it names is missing or damaged.
    bool zip64 = false;
};

// Checks the candidate as pointsAtCentralDirectory does, but also takes a directory that ends right
// before the end record (or before its ZIP64 end record) when it is not at the recorded offset:
// the difference, always forwards, is then the length of data in front of the archive. A ZIP64 end
// record and locator are read and checked against the file; their values, at their full 64 bits,
// are used only where the 32-bit field is saturated.
DirectoryLocation locateDirectory(ByteSource& source, const EndRecordCandidate& candidate);

// Whether the archive is ZIP64 but its ZIP64 end record cannot be used: the location found none
// (its locator stands before the end record, but the record is missing, damaged or describes several
// disks), or the end record saturates a count, the size or the offset (0xFFFF, 0xFFFFFFFF) and no
// directory was found with the values as they stand.
bool lacksUsableZip64EndRecord(const EndRecordFields& fields, const DirectoryLocation& location);

// The end record of the archive among the signatures in the tail of the file. A comment may hold
// the same four bytes, even a whole fake record, so each candidate is weighed, nearest the end first
// within each rank: one whose comment ends exactly at the end of the file and whose directory
// locateDirectory finds; then one whose comment ends at the end of the file; then one whose
// directory is found; then the nearest. Nothing when there is no signature; fails on a short read.
Result<std::optional<EndRecordCandidate>> chooseEndRecord(ByteSource& source);

// Whether the candidate describes a directory that really is where it says: on this disk only,
// ending exactly where the end record begins, starting with a central header (or empty), and with
// a comment that fits the file. This is how the engines tell a real end record from the same four
// bytes inside a comment or inside a stored archive.
bool pointsAtCentralDirectory(ByteSource& source, const EndRecordCandidate& candidate);

} // namespace quarvo
