#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// What the command line asks of a fresh start.
enum class StartupAction {
    Nothing,      // empty command line
    OpenDocument, // the whole text is one document path
    RunJob,       // "-e" form: open the document, run it when it is a job file, then exit
    Extract,      // "--extract PATH": open the archive and show its extract dialog
    Unregister,   // "--unregister": remove the desktop registration and exit
};

struct CommandLineRequest {
    StartupAction action = StartupAction::Nothing;
    std::string path;

    bool operator==(const CommandLineRequest&) const = default;
};

// The command line as one text: the program's arguments joined by single blanks, so a path with
// blanks given unquoted by the desktop arrives whole.
std::string joinArguments(const std::vector<std::string>& arguments);

// Reads the command line text. "--unregister" alone, and "--extract " followed by a path (the desktop
// entry's Extract action), are the program's own options. "-e" or "-E", or "/e" or "/E", starts the
// job form: the path begins right after those two characters, so a blank that follows belongs to the
// path. Anything else non-empty is one document path.
//
// On this system "/" also starts every absolute path, and "/etc/a.zip" must open as a document: the
// "/e" spelling is therefore read as the job form only when exists() says the whole text names
// nothing on disk. Without exists() it is always the job form.
CommandLineRequest parseCommandLine(std::string_view text,
                                    const std::function<bool(const std::string&)>& exists = {});

} // namespace quarvo
