#pragma once

#include "core/text/DosDateTime.h"

#include <cstdint>
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
    DosDateTime time; // the modification time, MS-DOS packed
    uint32_t crc32 = 0;
};

// Compares the copy at path with its entry. Unchanged only when the size, the modification time
// taken as a local MS-DOS date and time, and the CRC-32 of the contents all equal the entry's: the
// CRC catches an edit that kept the size within the same two-second tick. The contents are read only
// when size and time agree. A copy that cannot be read counts as changed, so it is offered back
// (and kept) rather than thrown away.
CopyState inspectCopy(const std::string& path, const EntryFingerprint& entry);

} // namespace quarvo
