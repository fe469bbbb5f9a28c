#pragma once

#include "core/launch/ProgramLauncher.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quarvo::gui {

// The operating system's side of launching, as SystemProgramLauncher needs it: the desktop's file
// associations, starting a process, watching it end, and finding its window. DesktopLaunchServices
// is the program's, over GIO, pidfds and the window manager.
class SystemLaunchServices {
  public:
    virtual ~SystemLaunchServices() = default;

    // Starts the program the desktop associates with the type of file (a full path), handing it the
    // file, with directory as its working directory; never file itself, executable or not. The
    // started process, or the launch code of the failure (NoAssociation when the type has no program).
    virtual LaunchAttempt startAssociatedProgram(const std::string& file, const std::string& directory) = 0;

    // Starts program (a full path) with arguments as its argument vector and no shell, with
    // directory as the working directory of the new process only. The process outlives the program.
    // The started process, or the launch code of the failure.
    virtual LaunchAttempt startProcess(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& directory) = 0;

    // Calls onEnd once, on the user-interface thread, when the process has ended. file is the copy the
    // process was given (see ProgramLauncher::watch).
    virtual void watchProcess(int64_t processId, const std::string& file, std::function<void()> onEnd) = 0;

    // The process ended with its copy at file unchanged. When it ended within HandOffWindow of its
    // start, watches the file and calls the onEnd given to watchProcess again once it changed;
    // returns whether it does.
    virtual bool watchHandOff(int64_t processId, const std::string& file)
    {
        (void)processId;
        (void)file;
        return false;
    }

    // Brings a top-level window of the process to the front; false when it has none.
    virtual bool activateProcessWindow(int64_t processId) = 0;
};

} // namespace quarvo::gui
