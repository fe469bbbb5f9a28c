#pragma once

#include "engines/api/StreamRequest.h"
#include "engines/api/UntarCommand.h"

#include <functional>
#include <string>
#include <vector>

namespace quarvo::testing {

// What one engine call reported.
struct EngineRun {
    uint32_t result = 0;
    uint32_t warnings = 0; // the block's count after the call
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<uint32_t> percents;
    // Called for every status text; returning 1 cancels.
    std::function<int(const std::string&)> onStatus;

    bool mentioned(const std::string& part) const;
    std::string allMessages() const;
};

// Points the block's callbacks at run.
void reportTo(UntarCommand& command, EngineRun& run);
void reportTo(StreamRequest& request, EngineRun& run);

// Extracts every entry of archive into destination (empty: tests only), without an open archive,
// after configure has adjusted the block.
EngineRun runUntarExtract(const std::string& archive, const std::string& destination,
                          const std::function<void(UntarCommand&)>& configure = {});

// Runs a stream request on input: Identify, Unpack (into workDirectory) or Test.
EngineRun runStream(StreamRequest& request, uint32_t function, const std::string& input,
                    const std::string& workDirectory = {});

} // namespace quarvo::testing
