#pragma once

#include "cli/CommandLine.h"
#include "cli/ConsoleReporter.h"

#include <cstdint>

namespace quarvo::cli {

// Runs add, delete, test or extract through the engines and returns the engine's result: test and
// extract take a ZIP archive, a TAR archive (plain or compressed) or a compressed stream, told by
// content. "Nothing to do!" and a one-line summary of any other failure go to the reporter after
// the engine's own messages.
uint16_t runArchiveCommand(const CliRequest& request, ConsoleReporter& reporter);

} // namespace quarvo::cli
