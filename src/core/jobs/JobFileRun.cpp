#include "core/jobs/JobFileRun.h"

#include "core/app/JobKind.h"
#include "core/jobs/JobFile.h"
#include "core/jobs/JobRun.h"
#include "core/jobs/UnzipJobRun.h"
#include "core/jobs/ZipJobRun.h"

namespace quarvo {

namespace {

template <typename Job>
uint16_t readAndRun(const ProfileFile& profile, Result<Job> (*read)(const ProfileFile&),
                    uint16_t (*run)(const Job&, UserInterface&, CompressionEngines&, const AppSettings&),
                    const std::string& path, UserInterface& ui, CompressionEngines& engines,
                    const AppSettings& settings)
{
    Result<Job> job = read(profile);
    if (!job)
        return refuseJob(ui, path + " cannot be used as a job file:\n\n" + job.error().message);
    return run(*job, ui, engines, settings);
}

} // namespace

uint16_t runJobFile(const std::string& path, UserInterface& ui, CompressionEngines& engines,
                    const AppSettings& settings)
{
    const JobKind kind = jobKindForPath(path);
    if (kind == JobKind::None)
        return refuseJob(ui, path + " is no job file: a ZIP job ends in \".cfz\", an UNZIP job in \".cfu\".");
    Result<ProfileFile> profile = loadJobFile(path);
    if (!profile)
        return refuseJob(ui, profile.error().message);
    if (kind == JobKind::ZipJob)
        return readAndRun<ZipJob>(*profile, readZipJob, runZipJob, path, ui, engines, settings);
    return readAndRun<UnzipJob>(*profile, readUnzipJob, runUnzipJob, path, ui, engines, settings);
}

} // namespace quarvo
