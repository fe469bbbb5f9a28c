#include "support/ProcessRunner.h"

#include "support/TemporaryDirectory.h"

#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

extern char** environ;

namespace quarvo::testing {

ProcessOutcome runProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory)
{
    TemporaryDirectory capture;
    const std::string outPath = capture.file("out");
    const std::string errPath = capture.file("err");

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

    ProcessOutcome outcome;
    pid_t child = 0;
    const int failed = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return outcome;
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    outcome.out = readFile(outPath);
    outcome.err = readFile(errPath);
    return outcome;
}

bool toolsInstalled(const std::vector<std::string>& programs)
{
    for (const std::string& program : programs) {
        if (runProcess("sh", {"-c", "command -v \"$0\"", program}, "/").exitCode != 0)
            return false;
    }
    return true;
}

} // namespace quarvo::testing
