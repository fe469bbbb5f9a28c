#pragma once

#include "cli/CommandLine.h"
#include "cli/ConsoleReporter.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace quarvo::cli {

// What an archive is, told by its content (never by its name).
enum class ArchiveKind {
    Zip,              // anything else: the ZIP engines and reader take it and say what is wrong
    Tar,              // a TAR archive, plain or inside a compressed stream
    CompressedStream, // a compressed stream whose unpacked data is no TAR archive (x.gz)
};

ArchiveKind detectArchiveKind(const std::string& path);

// list for a TAR archive or compressed stream: the entry names on out (with -v a table with modes,
// sizes, dates and link targets, and totals); a compressed stream lists the one file it unpacks to.
// Returns an engine result, Warning when the only trouble was a warning.
uint16_t runTarList(const CliRequest& request, ArchiveKind kind, std::FILE* out, ConsoleReporter& reporter);

// test and extract for a TAR archive or compressed stream. A compressed stream that holds no TAR
// archive is unpacked into the destination under a name made from the archive's own name.
// Returns an engine result, Warning when the only trouble was a warning.
uint16_t runTarCommand(const CliRequest& request, ArchiveKind kind, ConsoleReporter& reporter);

} // namespace quarvo::cli
