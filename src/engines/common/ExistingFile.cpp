#include "engines/common/ExistingFile.h"

#include "engines/api/EngineResult.h"

namespace quarvo {

ExistingFileDecision decideOverExisting(const std::optional<struct stat>& existing, const ReplaceRules& rules,
                                        std::time_t entryTime, const std::string& shownName)
{
    if (!existing)
        return {.write = !rules.freshen, .code = 0, .message = {}};
    if (S_ISDIR(existing->st_mode))
        return {.write = false,
                .code = EngineResult::CannotCreate,
                .message = "Cannot create " + shownName + ": a directory of that name exists."};
    if (rules.update || rules.freshen)
        return {.write = entryTime > existing->st_mtime, .code = 0, .message = {}};
    if (!rules.overwrite)
        return {.write = false,
                .code = EngineResult::EntriesSkipped,
                .message = "Skipped " + shownName + ": a file of that name exists."};
    return {.write = true, .code = 0, .message = {}};
}

} // namespace quarvo
