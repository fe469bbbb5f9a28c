#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quarvo::testing {

// What a finished child process left behind.
struct ProcessOutcome {
    int exitCode = -1; // -1 when it did not exit normally (killed by a signal, could not start)
    std::string out;
    std::string err;
};

// Runs program (searched on PATH when it holds no "/") with arguments in workingDirectory, standard
// input from /dev/null, and collects both output streams through files, so a chatty child can never
// block on a full pipe.
ProcessOutcome runProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory);

// Whether every one of the programs is found on PATH; tests of the real tools skip without them.
bool toolsInstalled(const std::vector<std::string>& programs);

} // namespace quarvo::testing
