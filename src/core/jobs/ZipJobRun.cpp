#include "core/jobs/ZipJobRun.h"

#include "core/app/CommandIds.h"
#include "core/documents/ChosenDirectory.h"
#include "core/engine/ZipEngineSession.h"
#include "core/jobs/JobFormat.h"
#include "core/jobs/JobRun.h"

#include <optional>

namespace quarvo {

namespace {

constexpr const char* AllFiles = "*.*";
// A whole-drive backup starts at the root, the one drive of this system.
constexpr const char* WholeDriveSpecification = "/*.*";

static_assert(CommandId::AddFamily.size() == JobFormat::ZipActionCount);

} // namespace

Result<ZipJobPlan> planZipJob(const ZipJob& job)
{
    if (job.zipFile.empty())
        return Error{"The job names no ZIP file."};
    if (job.action < 0 || job.action >= JobFormat::ZipActionCount)
        return Error{"The job's command (Action=" + std::to_string(job.action) +
                     ") is none of the commands a ZIP job can run."};
    ZipJobPlan plan;
    plan.archivePath = job.zipFile;
    // The add family lists its commands in the order of the form's list.
    plan.commandId = CommandId::AddFamily[static_cast<size_t>(job.action)];
    plan.wholeDrive = job.spanDisks != 0 && job.backupEntireDrive != 0;
    plan.itemSpecification = plan.wholeDrive ? WholeDriveSpecification : withTrailingSlash(job.directory) + AllFiles;
    return plan;
}

uint16_t runZipJob(const ZipJob& job, UserInterface& ui, CompressionEngines& engines, const AppSettings& settings)
{
    Result<ZipJobPlan> plan = planZipJob(job);
    if (!plan)
        return refuseJob(ui, plan.error().message);

    ZipJobOptions options;
    options.password = job.password;
    options.tempFilePath = job.tempFilePath;
    options.addNewerFiles = job.addNewerFiles;
    options.date = job.date;
    options.oldAsLatest = job.oldAsLatest;
    options.compMethod = job.compMethod;
    options.storePath = job.storePath;
    options.recurseSubdirs = job.recurseSubdirs;
    options.includeSystemHidden = job.includeSystemHidden;
    options.spanDisks = job.spanDisks;
    options.include = job.include;
    options.exclude = job.exclude;

    ZipEngineSession session(ui, engines, settings);
    session.applyZipJob(options);
    session.setComment(job.editZipComment ? std::optional<std::string>(job.comment) : std::nullopt);
    if (plan->wholeDrive) {
        session.zipCommand().recurse = 1;
        session.zipCommand().noDirectoryNames = 0;
    }
    return session.runZip(plan->archivePath, plan->itemSpecification, plan->commandId);
}

} // namespace quarvo
