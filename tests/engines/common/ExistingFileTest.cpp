#include "engines/common/ExistingFile.h"

#include "engines/api/EngineResult.h"

#include <gtest/gtest.h>

namespace quarvo {
namespace {

TEST(ExistingFile, OverwriteUpdateAndFreshenDecideOverWhatIsOnDisk)
{
    struct stat olderFile {};
    olderFile.st_mode = S_IFREG | 0644;
    olderFile.st_mtime = 1000;
    struct stat directory {};
    directory.st_mode = S_IFDIR | 0755;
    const std::time_t entryTime = 2000;
    struct Case {
        const char* what;
        std::optional<struct stat> existing;
        ReplaceRules rules;
        std::time_t entryTime;
        bool write;
        uint16_t code;
    } cases[] = {
        {"missing", std::nullopt, {}, entryTime, true, EngineResult::Ok},
        {"missing, freshen", std::nullopt, {.freshen = true}, entryTime, false, EngineResult::Ok},
        {"exists", olderFile, {}, entryTime, false, EngineResult::EntriesSkipped},
        {"exists, overwrite", olderFile, {.overwrite = true}, entryTime, true, EngineResult::Ok},
        {"older on disk, update", olderFile, {.update = true}, entryTime, true, EngineResult::Ok},
        {"newer on disk, update", olderFile, {.update = true}, 500, false, EngineResult::Ok},
        {"newer on disk, freshen", olderFile, {.freshen = true}, 500, false, EngineResult::Ok},
        {"directory, overwrite",
         directory,
         {.overwrite = true},
         entryTime,
         false,
         EngineResult::CannotCreate},
    };
    for (const Case& c : cases) {
        const ExistingFileDecision decision = decideOverExisting(c.existing, c.rules, c.entryTime, "a.txt");
        EXPECT_EQ(decision.write, c.write) << c.what;
        EXPECT_EQ(decision.code, c.code) << c.what;
        EXPECT_EQ(decision.message.empty(), c.code == EngineResult::Ok) << c.what;
    }
}

} // namespace
} // namespace quarvo
