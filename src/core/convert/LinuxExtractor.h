#pragma once

#include "core/base/Result.h"
#include "core/convert/ConvertError.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarvo {

// The file name of our Linux extractor program, installed beside quarvo and quarvo-cli.
constexpr const char* LinuxExtractorName = "quarvo-sfx";

// Reads the Linux extractor from programDirectory. Fails as MissingExtractor, naming the path, when
// it is missing, unreadable or not an ELF program.
Result<std::vector<uint8_t>, ConvertError> loadLinuxExtractor(const std::string& programDirectory);

} // namespace quarvo
