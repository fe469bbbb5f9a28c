#include "core/jobs/UnzipJob.h"

#include "core/jobs/JobFields.h"
#include "core/jobs/JobFormat.h"

#include <array>

namespace quarvo {

namespace {

using namespace JobFormat;

// The "Options" keys in the order they are written.
constexpr std::array<IntegerField<UnzipJob>, 4> IntegerFields{{
    {UnzipKey::Overwrite, &UnzipJob::overwrite, true},
    {UnzipKey::Recreate, &UnzipJob::recreate, true},
    {UnzipKey::Recurse, &UnzipJob::recurse, true},
    {UnzipKey::Action, &UnzipJob::action, false},
}};

constexpr std::array<TextField<UnzipJob>, 4> TextFields{{
    {UnzipKey::Password, &UnzipJob::password},
    {UnzipKey::Directory, &UnzipJob::directory},
    {UnzipKey::Include, &UnzipJob::include},
    {UnzipKey::ZipFile, &UnzipJob::zipFile},
}};

} // namespace

Result<UnzipJob> readUnzipJob(const ProfileFile& profile)
{
    UnzipJob job;
    readIntegerFields(profile, IntegerFields, job);
    if (auto problem = readTextFields(profile, TextFields, job))
        return Error{*problem};
    return job;
}

Result<ProfileFile> writeUnzipJob(const UnzipJob& job)
{
    ProfileFile profile;
    writeIntegerFields(profile, IntegerFields, job);
    if (auto problem = writeTextFields(profile, TextFields, job))
        return Error{*problem};
    return profile;
}

} // namespace quarvo
