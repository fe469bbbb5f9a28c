#pragma once

#include "core/zip/ZipEntry.h"
#include "engines/api/UntarCommand.h"

#include <memory>
#include <string>

namespace quarvo {

// An entry of a TAR archive as the listings show it: the same record a ZIP entry fills, so sorting,
// filtering, the summaries and printing work on it unchanged, with what TAR adds.
struct TarListEntry : ZipEntry {
    uint32_t mode = 0;           // file type and permission bits as stored
    std::string linkTarget;      // a link's target; empty for other entries
    std::string extractedPath;   // where the last extraction wrote it, relative to its directory
};

// The listing's record of an entry the TAR engine delivered at position index:
// - the name decoded like a ZIP name flagged UTF-8 (invalid bytes shown as "\xHH"), "/" kept;
// - both sizes the entry's size (TAR keeps no compressed size), at their full 64 bits;
// - the MS-DOS date and time of the modification time in local time, seconds dropped;
// - the directory attribute for a name ending in "/" and the read-only attribute when the owner
//   may not write.
std::unique_ptr<TarListEntry> makeTarListEntry(const TarEntryRecord& record, int32_t index);

} // namespace quarvo
