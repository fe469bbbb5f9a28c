#pragma once

#include "core/launch/LaunchCodes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarvo {

// One attempt to start a process.
struct LaunchAttempt {
    // Above LaunchCode::LastError when a process was started, otherwise the launch code of the failure.
    int result = LaunchCode::OutOfMemory;
    // The started process; 0 when none was started.
    int64_t processId = 0;

    bool operator==(const LaunchAttempt&) const = default;
};

// The system side of launching, a port the core is given: the program implements it over the
// desktop's file associations and process start, the tests with a recorder. Every failure comes back
// as a launch code (LaunchCode), never as an exception, and nothing here asks the user anything.
class ProgramLauncher {
  public:
    virtual ~ProgramLauncher() = default;

    // Starts the program the desktop associates with the type of file (a full path), handing it the
    // file, with directory as its working directory. Never starts file itself, even when it is
    // executable: an associated program is found for its type or the answer is NoAssociation.
    // FileNotFound when the file does not exist.
    virtual LaunchAttempt openByAssociation(const std::string& file, const std::string& directory) = 0;

    // Starts program (a full path; it is not searched for) with arguments as its argument vector, with
    // directory as the working directory of the new process only. No shell ever reads the arguments.
    virtual LaunchAttempt startProgram(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& directory) = 0;

    // Asks to be told when the started process ends: the program then calls processEnded with its id.
    // file is the copy the process was given; a launcher that sees the process hand the file over to
    // an instance already running (and end at once) may watch the file instead and report the end
    // once it changed.
    virtual void watch(int64_t processId, const std::string& file) = 0;

    // The process ended and its copy at file is unchanged. When it ended so soon after its start that
    // it has probably handed the file over to an instance of its program already running, the
    // launcher watches the file and reports the process ended again (processEnded with the same id)
    // once the file changed, and returns true. False when it does not watch: the item is done.
    virtual bool watchHandOff(int64_t processId, const std::string& file)
    {
        (void)processId;
        (void)file;
        return false;
    }

    // Brings the window of a started process to the front; false when no window of it was found.
    virtual bool activate(int64_t processId) = 0;
};

} // namespace quarvo
