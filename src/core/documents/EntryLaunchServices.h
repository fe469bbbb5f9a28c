#pragma once

#include <string>

namespace quarvo {

class ApplicationWindows;
class ProgramLauncher;

// What viewing, running and checking out entries use beyond a document's own services, owned by the
// application.
struct EntryLaunchServices {
    ProgramLauncher& launcher;
    ApplicationWindows& windows;
    // The running instance's scratch directory: each viewed or run entry is extracted into a private
    // directory of its own made inside it. Empty when there is none; viewing then fails with a
    // message.
    std::string scratchDirectory;
    // Where an edited copy that did not go back into its archive is kept. It outlives the program
    // (the scratch directory does not).
    std::string keptDirectory;
};

} // namespace quarvo
