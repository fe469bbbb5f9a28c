// Fuzzes the job file reader and writer. Any input must either be refused with words or give a job
// that writes and reads back as itself, for both kinds; the written text must stay within the size a
// job file may have.

#include "core/jobs/JobFormat.h"
#include "core/jobs/UnzipJob.h"
#include "core/jobs/ZipJob.h"

#include "FuzzCheck.h"

#include <cstdint>
#include <string_view>

namespace {

using quarvo::fuzz::check;

template <typename Job>
void roundTrip(const quarvo::ProfileFile& profile, quarvo::Result<Job> (*read)(const quarvo::ProfileFile&),
               quarvo::Result<quarvo::ProfileFile> (*write)(const Job&))
{
    quarvo::Result<Job> job = read(profile);
    if (!job) {
        check(!job.error().message.empty());
        return;
    }
    quarvo::Result<quarvo::ProfileFile> written = write(*job);
    check(written.ok());
    const std::string text = written->text();
    check(text.size() <= quarvo::JobFormat::MaximumFileSize);
    quarvo::Result<Job> again = read(quarvo::ProfileFile::parse(text));
    check(again.ok() && *again == *job);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const quarvo::ProfileFile profile = quarvo::ProfileFile::parse(input);
    roundTrip<quarvo::ZipJob>(profile, quarvo::readZipJob, quarvo::writeZipJob);
    roundTrip<quarvo::UnzipJob>(profile, quarvo::readUnzipJob, quarvo::writeUnzipJob);
    return 0;
}
