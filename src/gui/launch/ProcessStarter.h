#pragma once

#include "gui/launch/StartedProcess.h"

#include <string>
#include <vector>

namespace quarvo::gui {

class AssociatedProgram;

// Starting the programs that view or run an extracted file. Every program started here
//  - gets its argument vector exactly as given, word for word: no shell ever sees a file name, so
//    an entry called "a;rm -rf ~" is one harmless argument;
//  - runs in workingDirectory, entered by the child alone: this process never changes its own;
//  - starts in a session of its own (setsid), so neither this process's exit nor a hangup of the
//    terminal it was started from ends it; nothing here ever kills a child;
//  - starts with every signal at its default action and none blocked, whatever this process ignores
//    or blocks;
//  - stays a child of this process until ProcessWatcher reaps it.

// Starts program with arguments (program itself is argv[0]). A bare name (no "/") is looked up on
// PATH; a relative path with a "/" is taken from this process's working directory. Returns the child,
// or the failure: a missing working directory is PathNotFound, a missing program FileNotFound, a file
// that may not or cannot be executed CannotLaunch.
StartResult startProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory);

// Starts the application of program on file, as its desktop entry's command line says (GIO puts the
// file into the argument vector in place of %f or %u; no shell is involved). Failures as for
// startProgram. An application that is started over D-Bus leaves no process of ours: then the result
// has no process (StartedProcess::hasProcess is false).
StartResult openWithProgram(const AssociatedProgram& program, const std::string& file,
                            const std::string& workingDirectory);

} // namespace quarvo::gui
