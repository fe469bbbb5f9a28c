#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

// The archive line of the status bar: "Total: 3 file(s) (1.53 KB)".
std::string totalSummaryText(uint64_t fileCount, uint64_t bytes);

// The selection line of the status bar: "Selected: 0 file(s) (0 Bytes)".
std::string selectedSummaryText(uint64_t fileCount, uint64_t bytes);

} // namespace quarvo
