#pragma once

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>

#include "support/TemporaryDirectory.h"

namespace quarvo::testing {

// Waits for a child started by a test and reaps it; its exit code, or -1 when a signal ended it or
// it is not a child.
inline int waitForExitCode(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Writes an executable script (mode 0755).
inline void writeScript(const std::filesystem::path& path, const std::string& text)
{
    writeFile(path, text);
    ::chmod(path.c_str(), 0755);
}

// The value of a "Name:\tvalue" line of /proc/PID/status text, or an empty text.
inline std::string statusField(const std::string& status, const std::string& name)
{
    size_t start = status.find("\n" + name + ":");
    if (start == std::string::npos)
        return {};
    start = status.find_first_not_of(" \t", start + name.size() + 2);
    return status.substr(start, status.find('\n', start) - start);
}

} // namespace quarvo::testing
