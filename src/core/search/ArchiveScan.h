#pragma once

#include "core/search/SearchTypes.h"

#include <string>

namespace quarvo {

// How the scan of one archive ended. Whatever it found before it ended has been reported.
enum class ArchiveScanOutcome {
    Complete,    // every central header was read
    CannotOpen,  // no regular file that could be opened for reading
    NoDirectory, // no end record
    Truncated,   // a header was cut short or something else stood where one belongs
    OtherDisks,  // the directory begins on an earlier disk of a set, which is never asked for
};

// Reads the central directory of the archive at path, through the zip module's end record search
// and the listing's name decoding, and reports the lines the search shows for it: the archive's
// path before its first hit; "     (Key found)" when the archive comment holds the key word; each
// entry whose name matches the file-name pattern, and, while the archive is not listed yet, each
// entry whose comment holds the key word, marked "   (Key Found)". Once the archive is listed,
// entry comments are no longer searched. Nothing is shown for a damaged archive: the scan just ends.
ArchiveScanOutcome scanArchive(const std::string& path, const SearchCriteria& criteria,
                               const SearchListener& listener);

} // namespace quarvo
