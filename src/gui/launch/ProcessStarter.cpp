#include "gui/launch/ProcessStarter.h"

#include "gui/launch/ChildSetup.h"
#include "gui/launch/PidFd.h"
#include "gui/launch/WorkingDirectory.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quarvo::gui {

namespace {

// The C library's search path when PATH is unset.
constexpr const char* DefaultSearchPath = "/bin:/usr/bin";

// Why the child could not run the program, written into the error pipe; nothing arrives when the
// exec succeeded, because the pipe closes on exec.
struct ChildFailure {
    LaunchStep step;
    int error;
};

// The paths to try in turn: a program named with a "/" is that path (a relative one taken from this
// process's directory, since the child will have entered another); a bare name is looked for in each
// directory of PATH, an empty element meaning the working directory.
std::vector<std::string> programCandidates(const std::string& program)
{
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos) {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(program, error);
        return {error ? program : absolute.string()};
    }
    const char* path = std::getenv("PATH");
    std::string_view directories = path ? path : DefaultSearchPath;
    std::vector<std::string> candidates;
    for (;;) {
        size_t colon = directories.find(':');
        std::string_view directory = directories.substr(0, colon);
        candidates.push_back(directory.empty() ? program : std::string(directory) + "/" + program);
        if (colon == std::string_view::npos)
            return candidates;
        directories.remove_prefix(colon + 1);
    }
}

// argv for execve: the program, then the arguments, then the terminating null. The pointers borrow
// from the strings, which outlive the child's exec.
std::vector<char*> argumentVector(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> vector;
    vector.reserve(arguments.size() + 2);
    vector.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        vector.push_back(const_cast<char*>(argument.c_str()));
    vector.push_back(nullptr);
    return vector;
}

// Whether an exec failure at one candidate lets the search go on to the next, as the C library's own
// path search does. ENOEXEC does not: a file without a "#!" line is never handed to /bin/sh.
bool tryNextCandidateAfter(int error)
{
    return error == ENOENT || error == ENOTDIR || error == EACCES || error == ESTALE || error == ENODEV ||
           error == ETIMEDOUT;
}

[[noreturn]] void failChild(int errorPipe, ChildFailure failure)
{
    (void)!::write(errorPipe, &failure, sizeof failure);
    ::_exit(127);
}

// The child's side, between fork and exec: only async-signal-safe calls, nothing allocated.
[[noreturn]] void runChild(const std::vector<std::string>& candidates, char* const* argv,
                           int workingDirectory, int errorPipe)
{
    if (int error = prepareStartedChild(workingDirectory))
        failChild(errorPipe, {LaunchStep::WorkingDirectory, error});
    int error = ENOENT;
    bool permissionDenied = false;
    for (const std::string& candidate : candidates) {
        ::execve(candidate.c_str(), argv, environ);
        error = errno;
        permissionDenied = permissionDenied || error == EACCES;
        if (!tryNextCandidateAfter(error))
            failChild(errorPipe, {LaunchStep::Program, error});
    }
    // A program found but not executable says more than the directories where it was not.
    failChild(errorPipe, {LaunchStep::Program, permissionDenied ? EACCES : error});
}

// Reads the child's report: nullopt once the pipe closes empty (the exec succeeded).
std::optional<ChildFailure> childFailure(int errorPipe)
{
    ChildFailure failure{};
    ssize_t count;
    do
        count = ::read(errorPipe, &failure, sizeof failure);
    while (count < 0 && errno == EINTR);
    if (count == sizeof failure)
        return failure;
    return std::nullopt;
}

// fork() with every signal blocked in the parent until it returns, so that no handler of this
// process runs in the child before prepareStartedChild has reset them.
pid_t forkWithSignalsBlocked()
{
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    pid_t pid = ::fork();
    if (pid != 0)
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return pid;
}

} // namespace

StartResult startProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory)
{
    auto directory = openWorkingDirectory(workingDirectory);
    if (!directory)
        return directory.error();
    // Everything the child needs is made here: after a fork of a threaded process the child may not
    // allocate.
    std::vector<std::string> candidates = programCandidates(program);
    std::vector<char*> argv = argumentVector(program, arguments);
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
        return launchFailureFor(LaunchStep::Program, errno);
    UniqueFd readEnd(errorPipe[0]);
    UniqueFd writeEnd(errorPipe[1]);

    pid_t pid = forkWithSignalsBlocked();
    if (pid < 0)
        return launchFailureFor(LaunchStep::Program, errno);
    if (pid == 0)
        runChild(candidates, argv.data(), directory->get(), writeEnd.get());

    writeEnd = UniqueFd();
    if (std::optional<ChildFailure> failure = childFailure(readEnd.get())) {
        ::waitpid(pid, nullptr, 0); // it has reported and is ending: reap it at once
        return launchFailureFor(failure->step, failure->error);
    }
    return StartedProcess{pid, openPidFd(pid)};
}

} // namespace quarvo::gui
