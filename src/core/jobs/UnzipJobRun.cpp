#include "core/jobs/UnzipJobRun.h"

#include "core/app/CommandIds.h"
#include "core/documents/ChosenDirectory.h"
#include "core/engine/ZipEngineSession.h"
#include "core/jobs/JobFormat.h"
#include "core/jobs/JobRun.h"

#include <array>

namespace quarvo {

namespace {

// The commands of the job's action, in the order of the form's list; the list lacks the last one.
constexpr std::array<int, JobFormat::UnzipActionCount> UnzipCommands{
    CommandId::Extract, CommandId::ExtractUpdate, CommandId::ExtractFreshen, CommandId::TestIntegrity};

// What a job without an include list extracts: every entry. Handed on empty, the list would be one
// empty name that matches nothing.
constexpr const char* AllEntries = "*.*";
// Where a job without a directory extracts to.
constexpr const char* WorkingDirectory = "./";

} // namespace

Result<UnzipJobPlan> planUnzipJob(const UnzipJob& job)
{
    if (job.zipFile.empty())
        return Error{"The job names no ZIP file."};
    if (job.action < 0 || job.action >= JobFormat::UnzipActionCount)
        return Error{"The job's command (Action=" + std::to_string(job.action) +
                     ") is none of the commands an UNZIP job can run."};
    UnzipJobPlan plan;
    plan.archivePath = job.zipFile;
    plan.destination = job.directory.empty() ? std::string(WorkingDirectory) : withTrailingSlash(job.directory);
    plan.itemSpecification = job.include.empty() ? std::string(AllEntries) : job.include;
    plan.commandId = UnzipCommands[static_cast<size_t>(job.action)];
    return plan;
}

uint16_t runUnzipJob(const UnzipJob& job, UserInterface& ui, CompressionEngines& engines,
                     const AppSettings& settings)
{
    Result<UnzipJobPlan> plan = planUnzipJob(job);
    if (!plan)
        return refuseJob(ui, plan.error().message);
    ZipEngineSession session(ui, engines, settings);
    session.applyUnzipJob(UnzipJobOptions{job.overwrite, job.recurse, job.recreate, job.password});
    session.setDestination(plan->destination);
    return session.runUnzip(plan->archivePath, plan->itemSpecification, plan->commandId);
}

} // namespace quarvo
