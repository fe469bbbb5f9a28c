#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

class AppSettings;
class CompressionEngines;
class UserInterface;

// Runs the job file at path without a window, as timers and scripts do: a ".cfz" file as a ZIP job, a
// ".cfu" file as an UNZIP job (the extension in any letter case). Returns the engine's result, or
// JobResult::Refused when the path names no job file, the file cannot be read or its values cannot be
// kept, or the job cannot run as it is; ui has been told why.
uint16_t runJobFile(const std::string& path, UserInterface& ui, CompressionEngines& engines,
                    const AppSettings& settings);

} // namespace quarvo
