#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quarvo {

// What became of the copy of an entry while a program had it.
enum class CopyState {
    Missing,   // nothing is there, or something that is not a regular file (a link is never followed)
    Unchanged, // its size, time and CRC-32 are still the entry's
    Changed,
};

// The entry a copy was made from, as the archive records it.
struct EntryFingerprint {
    uint64_t size = 0;
    uint32_t crc32 = 0;
};

// Compares the copy at path with its entry. Unchanged when its size and the CRC-32 of its contents
// equal the entry's, whatever its time: the CRC catches an edit that kept the size within the same
// two-second tick, and a time alone says nothing, because the copy's time comes from the archive's
// exact time stamp while the entry's MS-DOS time is rounded (Info-ZIP rounds odd seconds up), and a
// program that only read or touched the copy changed nothing worth putting back. The contents are
// read only when the size agrees. A copy that cannot be read counts as changed, so it is offered
// back (and kept) rather than thrown away.
CopyState inspectCopy(const std::string& path, const EntryFingerprint& entry);

// The size and CRC-32 of the copy at path as it is now, for an entry whose archive records no CRC-32
// of its data (TAR, AES AE-2): the copy is then compared with itself as it was made. Nothing when it
// is not a regular file (a link is never followed) or cannot be read.
std::optional<EntryFingerprint> fingerprintOf(const std::string& path);

} // namespace quarvo
