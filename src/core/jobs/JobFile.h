#pragma once

#include "core/base/Result.h"
#include "core/settings/ProfileFile.h"

#include <string>

namespace quarvo {

// Job files on disk. Both fail in words for the user that name the file.

// Reads the job file at path. Only a regular file of at most JobFormat::MaximumFileSize bytes is
// read; a pipe or device at path is never waited for.
Result<ProfileFile> loadJobFile(const std::string& path);

// Replaces the job file at path with profile, atomically, as the profile is saved: a failure leaves
// the old file as it was. A job that holds a password is written readable by its owner only
// (ownerOnly), its temporary file too.
Result<Ok> saveJobFile(const ProfileFile& profile, const std::string& path, bool ownerOnly);

} // namespace quarvo
