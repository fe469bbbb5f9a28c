#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

// The archive line of the status bar: "Total: 3 file(s) (1.53 KB)".
std::string totalSummaryText(uint32_t fileCount, uint32_t bytes);

// The selection line of the status bar: "Selected: 0 file(s) (0 Bytes)".
std::string selectedSummaryText(uint32_t fileCount, uint32_t bytes);

} // namespace quarvo
