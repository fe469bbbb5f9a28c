#pragma once

#include "engines/common/EngineReporter.h"

#include <cstdint>
#include <string>

namespace quarvo {

struct RepairRequest {
    std::string archivePath;
    // Scan every byte for local headers instead of following them from the first one.
    bool thorough = false;
    std::string temporaryDirectory;
};

// Rebuilds an archive's central directory from its local headers. The plain repair follows the
// local records one after the other from the first; the thorough one looks for a local header
// signature at every byte and keeps every entry whose data checks out (sizes, and the CRC of data
// that is not encrypted), data descriptors included. The rebuilt archive replaces the damaged one
// only when at least one entry was recovered; the bytes before the first entry (a self-extractor's
// program) are kept. Returns an EngineResult.
uint16_t repairArchive(const RepairRequest& request, EngineReporter& reporter);

} // namespace quarvo
