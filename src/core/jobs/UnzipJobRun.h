#pragma once

#include "core/base/Result.h"
#include "core/jobs/UnzipJob.h"

#include <cstdint>
#include <string>

namespace quarvo {

class AppSettings;
class CompressionEngines;
class UserInterface;

// What an UNZIP job asks of the decompression engine, worked out before anything runs.
struct UnzipJobPlan {
    std::string archivePath;
    // The directory with a "/" appended (the job's own text is not changed); "./", the working
    // directory, for a job without one.
    std::string destination;
    // The "Include File List:" text as typed, "*.*" (every entry) when it is empty; the session quotes
    // it when it holds no double quote.
    std::string itemSpecification;
    int commandId = 0; // 3050 extract, 32782 update, 3150 freshen, 3500 test

    bool operator==(const UnzipJobPlan&) const = default;
};

// The plan of a job. Fails, in words for the user, when it names no ZIP file or its action is none of
// the four commands: such a job is never run as another command (an unknown action is no extract).
Result<UnzipJobPlan> planUnzipJob(const UnzipJob& job);

// Runs an UNZIP job with a new engine session: overwrite, path recursion, recreate and password from
// the job, then the plan. Returns the engine's result, which the session has reported, or
// JobResult::Refused after telling the user why the job could not run.
uint16_t runUnzipJob(const UnzipJob& job, UserInterface& ui, CompressionEngines& engines,
                     const AppSettings& settings);

} // namespace quarvo
