#pragma once

#include "core/zip/ByteSource.h"

#include <cstdint>
#include <string>

namespace quarvo {

// Why the central directory of an archive could not be read. The document's reader and the engine
// dunzip tell these apart the same way, and describeDirectoryError is the one place that words
// them, so a file is called the same thing wherever it is opened.
enum class DirectoryProblem {
    CannotOpen,         // the file cannot be opened; systemError says why
    NotAFile,           // the path names a directory or a device
    CannotRead,         // reading the file failed part-way
    Empty,              // the file holds no bytes
    NotZip,             // no end record, and the file does not begin like a part of a ZIP archive
    FirstSplitPart,     // no end record; the file begins with the marker of a split archive's first part
    TruncatedOrPart,    // no end record, but the file begins with a local header: the archive was cut
                        // short, or this is a part of a split archive other than the last
    LastSplitPart,      // the end record says the directory begins on an earlier disk or file of a set
    DisksNotInserted,   // a disk of a set on a removable drive was not inserted when asked for
    Zip64RecordMissing, // the end record leaves its values to a ZIP64 end record that is missing or
                        // damaged
    DirectoryNotFound,  // no directory where the end record says it is
    DamagedHeader,      // an entry's central header is not there, is cut short, or runs past the
                        // directory
    DamagedEndRecord,   // the end record the directory ends with runs past the end of the file
    EntryCountMismatch, // the directory holds another number of entries than its end record counts
};

struct DirectoryError {
    DirectoryProblem problem = DirectoryProblem::NotZip;
    int systemError = 0;         // CannotOpen: the error number of open(2)
    uint64_t entry = 0;          // DamagedHeader: the 1-based number of the damaged header
    std::string detail = {};     // DamagedHeader: what is wrong with it, when known
    uint64_t entriesFound = 0;   // EntryCountMismatch: headers in the directory
    uint64_t entriesCounted = 0; // EntryCountMismatch: the end record's count
};

// The words for the user: whole sentences, the first beginning with a capital, the last ending in a
// full stop, naming neither the file nor the program. A missing file "does not exist"; any other
// failure to open gives the system's words for its error number.
std::string describeDirectoryError(const DirectoryError& error);

// The problem of a file that could not be opened: NotAFile for a path that opened but is not a
// regular file, else CannotOpen with the error number.
DirectoryError directoryErrorOf(const OpenError& error);

// What a file in which no end record was found is, told by its size and how it begins: Empty,
// FirstSplitPart, TruncatedOrPart or NotZip.
DirectoryProblem classifyFileWithoutEndRecord(ByteSource& source);

} // namespace quarvo
