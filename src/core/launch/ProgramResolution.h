#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// What the program name of a command line turned out to be.
struct ResolvedProgram {
    enum class Kind {
        Program,  // a regular file with an execute permission bit: it is started
        Document, // anything else that exists: it is opened with its associated program
        Missing,  // nothing of that name: `code` says why
    };
    Kind kind = Kind::Missing;
    // The full path found; empty when missing.
    std::string path;
    // LaunchCode::FileNotFound, or PathNotFound when a directory of the name's own path is missing.
    int code = 0;
};

// Where a bare program name (one without "/") is looked for.
enum class ProgramSearch {
    ItemDirectoryFirst, // the item's directory, then the program directory and PATH: a command the
                        // user typed may name a file of the archive
    ProgramsOnly,       // the program directory and PATH only: what the program itself starts (the
                        // default viewer) can never be a file of the archive
};

// Finds the program a command line names. A name with "/" is taken as it is, relative to directory
// unless absolute; a bare name is searched as search says (findOnPath). Symbolic links are followed:
// installed programs are often links.
ResolvedProgram resolveProgram(std::string_view name, const std::string& directory,
                               const std::string& programDirectory, ProgramSearch search);

} // namespace quarvo
