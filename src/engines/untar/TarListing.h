#pragma once

#include "engines/api/UntarCommand.h"
#include "engines/common/EngineReporter.h"
#include "engines/untar/TarReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarvo {

// What one reading of an archive's directory gave.
struct TarListing {
    uint32_t streamType = 0;
    uint64_t entryCount = 0;
    std::vector<TarHeader> entries; // only when kept
    uint32_t warnings = 0;
};

// The record of an entry as the block's callers see it; name and secondName point into header.
TarEntryRecord recordOf(const TarHeader& header, uint64_t index);

// Reads every header of the archive at path (its data is passed over, by seeking where the file is
// plain), reporting "Reading: NAME" and the share read, and handing each entry's record to
// entryCallback when there is one (its answer 1 stops the reading). With keep the headers are kept
// in listing.entries. Returns an EngineResult: Ok (warnings counted in the listing), Cancelled,
// or the failure, already told through the reporter; a damaged header passed over makes the result
// BadArchive once the whole archive was read.
uint16_t readTarListing(const std::string& path, bool keep, TarEntryCallback entryCallback,
                        void* callbackData, EngineReporter& reporter, TarListing& listing);

} // namespace quarvo
