#pragma once

#include "core/search/SearchTypes.h"

#include <atomic>
#include <string>

namespace quarvo {

// How the search of one location ended.
enum class WalkOutcome {
    Done,        // everything there was examined
    CannotEnter, // the location is no directory that can be opened
    Cancelled,   // the cancel flag was seen set
};

// Searches the directory at location (and, with searchSubdirectories, every directory below it) for
// archives and scans each as scanArchive does. Only paths are used: the working directory never
// changes. The location itself may be reached through a link; below it, links to directories are
// not followed, a directory already visited (the same device and inode, as a bind mount shows it
// again) is not searched twice, and the pseudo file systems are left out. In each directory the
// ".zip" files come first, then (with searchSelfExtracting) the ".exe" files, both ignoring case and
// in the order the directory lists them, then the subdirectories. Only regular files are opened,
// never blocking, and only those the user would see and could change: hidden (dot) files and
// read-only files (no owner write permission) are passed by. The cancel flag is read at each
// directory and before each archive, never while one is being scanned.
WalkOutcome searchLocation(const std::string& location, const SearchCriteria& criteria,
                           const SearchListener& listener, const std::atomic<bool>& cancel);

} // namespace quarvo
