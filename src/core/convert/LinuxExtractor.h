#pragma once

#include "core/base/Result.h"
#include "core/convert/ConvertError.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarvo {

// The file name of our Linux extractor program: in a build tree beside quarvo and quarvo-cli, in an
// installation in the companion directory (libexec/quarvo).
constexpr const char* LinuxExtractorName = "quarvo-sfx";

// Reads the Linux extractor of the program in programDirectory: the first ELF program of that name
// among the companion places (companionProgramCandidates). Fails as MissingExtractor, naming the
// installed place, when none is there, readable and an ELF program.
Result<std::vector<uint8_t>, ConvertError> loadLinuxExtractor(const std::string& programDirectory);

} // namespace quarvo
