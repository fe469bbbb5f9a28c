#pragma once

#include "engines/api/UnzipCommand.h"
#include "support/TemporaryDirectory.h"

#include <functional>
#include <string>
#include <vector>

namespace quarvo::testing {

// What one dunzip call reported.
struct UnzipRun {
    uint16_t result = 0;
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<uint32_t> percents;
    // Called for every status text; returning 1 cancels.
    std::function<int(const std::string&)> onStatus;

    bool mentioned(const std::string& part) const;
    std::string allMessages() const;
};

// Runs dunzip on archive with every entry ("*.*") into destination (empty = test only), after
// configure has adjusted the block.
UnzipRun runDunzip(const std::string& archive, const std::string& destination,
                   const std::function<void(UnzipCommand&)>& configure = {},
                   std::function<int(const std::string&)> onStatus = {});

// Raw deflate (no header) of data, as ZIP stores it.
std::string deflateRaw(const std::string& data, int level = 6);

bool haveTool(const std::string& tool);
// Runs a shell command with its output discarded; true when it exits 0.
bool runQuietly(const std::string& command);
// Every regular file, directory and link beneath root, as relative paths ("dir/" for directories).
std::vector<std::string> treeOf(const std::string& root);

} // namespace quarvo::testing
