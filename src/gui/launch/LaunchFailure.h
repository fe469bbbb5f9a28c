#pragma once

namespace quarvo::gui {

// The launch codes this library reports, with what each means to the user. They are the
// program's launch error codes; the launch logic owns the messages and turns each code into one.
namespace LaunchCode {
constexpr int FileNotFound = 2;   // "File was not found." (the program)
constexpr int PathNotFound = 3;   // "Path was not found." (the working directory)
constexpr int OutOfMemory = 8;    // the system ran out of memory starting it
constexpr int CannotLaunch = 22;  // "Could not launch the selected file."
constexpr int NoAssociation = 31; // no program is associated with the file's type
} // namespace LaunchCode

// Which part of a start an operating-system error came from: the same errno means a missing
// program in one place and a missing directory in the other.
enum class LaunchStep {
    Program,          // finding and executing the program
    WorkingDirectory, // entering the directory the program runs in
};

// Why a program did not start: the launch code the caller shows, and the system's errno (0 when
// the failure did not come from a system call) for a log.
struct LaunchFailure {
    int code = LaunchCode::CannotLaunch;
    int systemError = 0;
};

// The launch code for errno error met at step: a missing program is FileNotFound, a missing
// directory (or a path through a file) PathNotFound, an exhausted memory OutOfMemory, anything else
// (permissions, a file that is not a program) CannotLaunch.
int launchCodeFor(LaunchStep step, int error);

// launchCodeFor with the errno kept beside it.
inline LaunchFailure launchFailureFor(LaunchStep step, int error)
{
    return {launchCodeFor(step, error), error};
}

} // namespace quarvo::gui
