#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quarvo {

// A file or directory found on disk for adding, with the name it gets in the archive.
struct SourceFile {
    std::string diskPath;
    // Base-relative with "/", never absolute, never with "." or ".." components; a directory's ends
    // in "/".
    std::string storedName;
    bool directory = false;
    uint64_t size = 0;
    std::time_t modified = 0;
    uint32_t mode = 0; // st_mode, symbolic links followed
};

// What decides which files an add, update or freshen takes.
struct SourceSelection {
    // File specifications: a path whose last component may hold `*` and `?`; a relative one is
    // relative to the current directory. A pattern's directory part is the base directory of what
    // it finds; a file or directory named without a wildcard is stored under the path as given.
    std::vector<std::string> specifications;
    bool recurse = false;
    bool includeHiddenAndSystem = false;
    bool noDirectoryNames = false;
    // When given, only base-relative paths matching one of these names or patterns are taken; a
    // plain name of an existing file is taken even when no specification found it.
    std::optional<std::vector<std::string>> includeNames;
    std::vector<std::string> excludeNames;
    // Files never to take, as (device, inode): the archive being written.
    std::set<std::pair<dev_t, ino_t>> skipFiles;
};

struct CollectedSources {
    std::vector<SourceFile> files;
    // Texts for the user about what was skipped and why; skipping is not a failure.
    std::vector<std::string> notes;
    // Stored names found twice: the first file keeps the name, the later ones are left out.
    std::vector<std::string> duplicates;
    // Files and directories left out because their names begin with a dot and hidden files were
    // not asked for; the user is told how many.
    size_t hiddenLeftOut = 0;
    // Set when a directory could not be read: the operation cannot know what it would miss.
    std::optional<std::string> readError;
};

// Finds the files a selection names, in a stable order: specification by specification, each
// directory's names sorted, a directory before its contents. Symbolic links are followed as what
// they point at; a directory reached twice (a link cycle) is walked once.
CollectedSources collectSources(const SourceSelection& selection);

// Whether a base-relative path matches an include or exclude name: its directory part must equal
// the path's directory (ignoring case), or with recurse be an ancestor of it, and its last
// component must match the path's file name as a pattern.
bool matchesListName(const std::string& listName, const std::string& relativePath, bool recurse);

// A base-relative path made safe to store: "\0"-free, no leading "/", no "." or ".." components,
// no empty components. Empty when nothing is left.
std::string sanitizeStoredName(const std::string& path);

} // namespace quarvo
