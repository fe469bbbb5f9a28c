#pragma once

#include <string>

namespace quarvo {

// The values of an UNZIP job that reach the decompression engine.
struct UnzipJobOptions {
    int overwrite = 0;
    int recurse = 0;  // recurse path information
    int recreate = 0; // recreate the stored directories
    std::string password;
};

} // namespace quarvo
