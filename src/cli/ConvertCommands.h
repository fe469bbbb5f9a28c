#pragma once

#include "cli/CommandLine.h"
#include "cli/ConsoleReporter.h"

#include <cstdint>

namespace quarvo::cli {

// convert: writes the archive to the output in the form --to asked for, with the same converter as
// the window's ZIP menu (the Linux extractor is the quarvo-sfx beside this program). The output is
// replaced only by a whole new file. Returns an engine result: 0, or the one that says what failed
// (3 or 14 the archive cannot be read, 2 it is damaged, 5 no file can be made there, 6 writing
// failed, 10 a program part is missing or unusable, 15 too large).
uint16_t runConvert(const CliRequest& request, ConsoleReporter& reporter);

// repair: rebuilds the archive's directory from its local records, or, when that fails, from every
// local header found by scanning the file. Says "Fixed ARCHIVE." or "Unable to Fix ARCHIVE." and
// returns the engine's result of the last run.
uint16_t runRepair(const CliRequest& request, ConsoleReporter& reporter);

} // namespace quarvo::cli
