#pragma once

#include "core/base/Result.h"
#include "core/settings/ProfileFile.h"

#include <string>

namespace quarvo {

// One complete extract operation as a ".cfu" job file keeps it. Flags are 0 or 1; the action is kept
// as stored, even beyond the form's list (3, Test, is one the list lacks); texts as typed.
struct UnzipJob {
    int overwrite = 0;
    int recreate = 0;
    int recurse = 0;
    int action = 0; // 0 Extract, 1 Update, 2 Freshen, 3 Test
    std::string password;
    std::string directory;
    std::string include;
    std::string zipFile;

    bool operator==(const UnzipJob&) const = default;
};

// Reads an UNZIP job from a job file's profile: a missing key reads as 0 or empty, any nonzero flag
// as 1. Fails, in words for the user, when a text is longer than the job format allows.
Result<UnzipJob> readUnzipJob(const ProfileFile& profile);

// The job file's profile of a job: "Options" with its eight keys in order. Fails, in words for the
// user, when a text cannot be kept.
Result<ProfileFile> writeUnzipJob(const UnzipJob& job);

} // namespace quarvo
