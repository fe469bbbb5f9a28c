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

// The launch code for an errno value of a failed start: ENOENT is 2, ENOTDIR 3, anything else 22.
int launchCodeForErrno(int error);

} // namespace quarvo
