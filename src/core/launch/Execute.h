#pragma once

#include "core/launch/LaunchCodes.h"
#include "core/launch/LaunchState.h"

#include <string>

namespace quarvo {

class AppSettings;
class ProgramLauncher;
class UserInterface;

// What a launch uses of the program: the user-interface port for the "Run File" dialog and the
// failure message, the launcher port, and the settings for the default viewer and the program
// directory.
struct LaunchContext {
    UserInterface& ui;
    ProgramLauncher& launcher;
    const AppSettings& settings;
};

// The file an item launches: its name relative to directory, the directory that holds it, which is
// also the working directory of the started program.
struct LaunchFile {
    std::string directory;
    std::string name;

    std::string fullPath() const { return directory + "/" + name; }
};

// Launches an item's file and stores the outcome in state; returns the launch result (above 32 when
// a process was started).
//
// Open: the program associated with the file's type opens it. Without one (or when the file or its
// path is missing) the default viewer does: the command becomes the viewer, a blank and the file's
// name relative to the directory, and runs as Run does, except that the viewer is never looked for
// among the item's files. The file itself is never started, whatever its permissions.
//
// Run: state.command is cut into program and arguments (splitCommandLine, then splitWords) and the
// program is looked for in the item's directory first. A program is started with the words as its
// arguments; a document (a file without an execute bit) is opened with its associated program (or,
// without one, the default viewer) instead.
//
// While the program or its path is not found, the "Run File" dialog says "Executable file not
// found!" and lets the user correct the command, which then runs; Cancel ends the retries. A launch
// that did not start shows launchFailureMessage with a warning icon. A started process is handed to
// the launcher to be watched. Nothing shortens a command line.
int execute(LaunchState& state, const LaunchFile& file, LaunchMode mode, LaunchContext& context);

// Brings the window of the item's running program to the front. False after "Quarvo could not find
// the active application." when it has none.
bool activateRunningProgram(const LaunchState& state, LaunchContext& context);

} // namespace quarvo
