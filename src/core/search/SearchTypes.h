#pragma once

#include <functional>
#include <string>

namespace quarvo {

// What a search looks for, as the Search ZIP Files dialog's fields give it.
struct SearchCriteria {
    // Found as a whole word ignoring case in the archive comment and the entry comments.
    std::string keyWord;
    // A wildcard pattern for entry names; empty matches no name.
    std::string fileName;
    bool searchSubdirectories = false;
    // Also examine ".exe" files, which may be self-extracting archives.
    bool searchSelfExtracting = false;
};

// One line of the results list, as shown.
struct SearchResultLine {
    enum class Kind {
        Archive,    // the archive's full path, before its first hit
        Entry,      // an entry whose name matched or whose comment holds the key word
        ArchiveKey, // the archive comment holds the key word
    };
    Kind kind = Kind::Archive;
    std::string text;
    // The archive the line belongs to, as a path to open (text may show it with escapes).
    std::string archivePath;

    bool operator==(const SearchResultLine&) const = default;
};

// Where a search reports. Both are called on the thread that runs the search, as things happen.
struct SearchListener {
    // What is being examined: a directory (ending in "/") or an archive's path.
    std::function<void(const std::string& path)> examining;
    // A line for the results list.
    std::function<void(const SearchResultLine& line)> found;
};

} // namespace quarvo
