#pragma once

#include <cstdint>
#include <string>

namespace quarvo::cli {

// "quarvo-cli job FILE": runs a ZIP or UNZIP job file through the engines as the program's Execute
// does, with the user's profile settings (the log file) but no window: what the program would show
// in a message box goes to standard error, and every question is answered No or Cancel. Returns the
// engine's result, or 10 when the job file cannot be read or used.
uint16_t runJobCommand(const std::string& jobFile);

} // namespace quarvo::cli
