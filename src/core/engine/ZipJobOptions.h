#pragma once

#include <optional>
#include <string>

namespace quarvo {

// The values of a ZIP job that reach the compression engine. Numbers are kept as the job file holds
// them; texts as typed.
struct ZipJobOptions {
    std::string password;     // empty: no encryption
    // How the password encrypts (ZipEncryptionChoice); unset: the ZIP Options' current choice.
    std::optional<int> encryption;
    std::string tempFilePath; // empty: the engine's default
    int addNewerFiles = 0;    // 1: only files dated on or after `date`
    std::string date;
    int oldAsLatest = 0;
    int compMethod = 5; // compression level, the list position itself
    int storePath = 0;
    int recurseSubdirs = 0;
    int includeSystemHidden = 0;
    int spanDisks = 0; // span option index, 0 to 6
    // Space-separated names, as typed; empty for none.
    std::string include;
    std::string exclude;
};

} // namespace quarvo
