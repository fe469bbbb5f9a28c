#pragma once

#include "core/base/Result.h"
#include "core/settings/ProfileFile.h"

#include <string>

namespace quarvo {

// One complete compress operation as a ".cfz" job file keeps it. Flags are 0 or 1; the three indexes
// are positions in the form's lists and are kept as stored even when no list has them; texts are
// kept as typed.
struct ZipJob {
    int addNewerFiles = 0;
    int backupEntireDrive = 0;
    int editZipComment = 0;
    int includeSystemHidden = 0;
    int oldAsLatest = 0;
    int recurseSubdirs = 0;
    int storePath = 0;
    int action = 0;     // 0 Add, 1 Update, 2 Freshen, 3 Move, 4 Move/Update, 5 Move/Freshen
    int compMethod = 0; // the compression level handed to the engine
    int spanDisks = 0;  // 0 Don't Span Disks .. 6 Wipe SubDirectories
    std::string date;
    std::string password;
    std::string tempFilePath;
    std::string directory;
    std::string exclude;
    std::string include;
    std::string zipFile;
    // The archive comment, its lines joined with CR LF.
    std::string comment;

    bool operator==(const ZipJob&) const = default;
};

// Reads a ZIP job from a job file's profile. A missing key reads as 0 or empty, any nonzero flag as
// 1, the comment from the keys "0", "1", ... of "Comment" for as long as the next one exists. Fails,
// in words for the user, when a text is longer than the job format allows.
Result<ZipJob> readZipJob(const ProfileFile& profile);

// The job file's profile of a job: "Options" with its seventeen keys in order, then "Comment" with
// one key per line ("0=" alone for an empty comment). Fails, in words for the user, when a text is
// too long or could not be read back as written.
Result<ProfileFile> writeZipJob(const ZipJob& job);

} // namespace quarvo
