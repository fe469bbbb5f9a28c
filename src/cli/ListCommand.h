#pragma once

#include "cli/CommandLine.h"

#include <cstdint>
#include <cstdio>

namespace quarvo::cli {

// Lists the archive's entries on out, one name per line or, with verbose, a table with totals.
// Errors go to err, and so does the note that an archive holds no entries (still a success).
// Returns an engine result: 0, CannotOpenArchive or BadArchive.
uint16_t runList(const CliRequest& request, std::FILE* out, std::FILE* err);

} // namespace quarvo::cli
