#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

// The result of one launch. A value above LastError means a process was started; 0 to 32 is the
// reason it was not. The numbers are the contract between the launcher and the rest of the
// program: whatever the system reports is mapped onto them (launchCodeForErrno).
namespace LaunchCode {
constexpr int OutOfMemory = 0;     // also "nothing started yet"
constexpr int FileNotFound = 2;    // the program or the file does not exist
constexpr int PathNotFound = 3;    // a directory of its path, or the working directory, does not exist
constexpr int InsufficientMemory = 8; // the system had no memory to start it
constexpr int CouldNotLaunch = 22; // the system refused to start it for any other reason
constexpr int NoAssociation = 31;  // no program is associated with the file's type
constexpr int LastError = 32;
constexpr int Started = 33; // what the launchers of this program report for a started process
} // namespace LaunchCode

// The two ways to launch an item's file.
enum class LaunchMode {
    Open = 4, // with the program associated with its type, else the default viewer
    Run = 5,  // the item's launch command
};

constexpr bool launchStarted(int result)
{
    return result > LaunchCode::LastError;
}

// Whether the result asks the user to correct the command: the program or its path was not found.
constexpr bool launchNotFound(int result)
{
    return result == LaunchCode::FileNotFound || result == LaunchCode::PathNotFound;
}

// The text of an error code; nothing for a code without a text of its own (31 among them).
std::optional<std::string_view> launchErrorText(int code);

// The message of a failed launch: "Execute failed.  " with the code's text, or "Unknown error.
// Error ID = N." for a code without one, then "\n\n" and the command line that failed.
std::string launchFailureMessage(int code, std::string_view commandLine);

// Which part of a start an errno came from: the same ENOENT means a missing program in one place and
// a missing working directory in the other.
enum class LaunchStep {
    Program,          // finding and executing the program
    WorkingDirectory, // entering the directory the program runs in
};

// The launch code for an errno value of a failed start: ENOMEM is 8 at either step; for the program
// ENOENT is 2 and ENOTDIR (a file where a directory of its path should be) 3; for the working
// directory ENOENT and ENOTDIR are 3; anything else (permissions, a file that is no program) is 22.
int launchCodeForErrno(int error, LaunchStep step = LaunchStep::Program);

} // namespace quarvo
