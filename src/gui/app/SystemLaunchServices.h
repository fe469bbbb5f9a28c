#pragma once

#include "core/launch/ProgramLauncher.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quarvo::gui {

// The operating system's side of launching, as SystemProgramLauncher needs it: the desktop's file
// associations, starting a process, watching it end, and finding its window. The program's
// implementation sits over the desktop libraries; the GUI tests use one over QProcess.
class SystemLaunchServices {
  public:
    virtual ~SystemLaunchServices() = default;

    // Starts the program the desktop associates with the type of file (a full path), handing it the
    // file, with directory as its working directory; never file itself, executable or not. The
    // started process, or the launch code of the failure (NoAssociation when the type has no program).
    virtual LaunchAttempt startAssociatedProgram(const std::string& file, const std::string& directory) = 0;

    // The outcome of starting a process: its id, or the errno of the failure.
    struct Started {
        int64_t processId = 0;
        int error = 0;
    };
    // Starts program (a full path) with arguments as its argument vector and no shell, with
    // directory as the working directory of the new process only. The process outlives the program.
    virtual Started startProcess(const std::string& program, const std::vector<std::string>& arguments,
                                 const std::string& directory) = 0;

    // Calls onEnd once, on the user-interface thread, when the process has ended. file is the copy the
    // process was given (see ProgramLauncher::watch).
    virtual void watchProcess(int64_t processId, const std::string& file, std::function<void()> onEnd) = 0;

    // Brings a top-level window of the process to the front; false when it has none.
    virtual bool activateProcessWindow(int64_t processId) = 0;
};

} // namespace quarvo::gui
