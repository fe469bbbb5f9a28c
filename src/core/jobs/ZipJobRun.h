#pragma once

#include "core/base/Result.h"
#include "core/jobs/ZipJob.h"

#include <cstdint>
#include <string>

namespace quarvo {

class AppSettings;
class CompressionEngines;
class UserInterface;

// What a ZIP job asks of the compression engine, worked out before anything runs.
struct ZipJobPlan {
    std::string archivePath;
    // "DIRECTORY/*.*" ("*.*" alone for an empty directory, taken from the working directory), or
    // "/*.*" for a whole-drive backup.
    std::string itemSpecification;
    int commandId = 0; // of the add family, chosen by the job's action
    // A whole-drive backup (Span Disks and Backup Entire Drive both set) recurses and stores the
    // directory names, whatever the job's own boxes say.
    bool wholeDrive = false;

    bool operator==(const ZipJobPlan&) const = default;
};

// The plan of a job. Fails, in words for the user, when the job cannot run as it is: it names no ZIP
// file, or its action is none of the six commands (such a job is never run as another command).
// The job's directory itself is not changed.
Result<ZipJobPlan> planZipJob(const ZipJob& job);

// Runs a ZIP job with a new engine session: the job's options and include and exclude lists, its
// comment when "Edit Comment" is set (otherwise the archive keeps its own), and the plan. Returns
// the engine's result, which the session has reported as it does for every add, or JobResult::Refused
// after telling the user why the job could not run.
uint16_t runZipJob(const ZipJob& job, UserInterface& ui, CompressionEngines& engines, const AppSettings& settings);

} // namespace quarvo
