#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace quarvo {

// What the command block says about files that are already on disk.
struct ReplaceRules {
    bool overwrite = false; // replace without asking
    bool update = false;    // only when the entry is newer, or the file is missing
    bool freshen = false;   // only when the file exists and the entry is newer
};

// Whether an entry is written over what is on disk under its name, and if it is not, whether that
// is a failure to report (code and message) or a quiet skip (update and freshen leave newer files
// alone without a word).
struct ExistingFileDecision {
    bool write = false;
    uint16_t code = 0; // an EngineResult; 0 for a quiet skip
    std::string message;
};

// existing is the status of the name without following a link, nothing when it is missing;
// entryTime the entry's modification time; shownName the entry's name as messages show it.
ExistingFileDecision decideOverExisting(const std::optional<struct stat>& existing, const ReplaceRules& rules,
                                        std::time_t entryTime, const std::string& shownName);

} // namespace quarvo
