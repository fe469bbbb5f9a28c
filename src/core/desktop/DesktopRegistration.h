#pragma once

#include "core/base/Result.h"
#include "core/desktop/ToolRunner.h"
#include "core/desktop/UserDirectories.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// What a registration or its undoing did, for the caller to tell or ignore.
struct RegistrationReport {
    std::vector<std::string> written;
    std::vector<std::string> removed;
    std::vector<Error> failures;
    bool associationsChanged = false;
};

// The list of the files registration wrote, one path a line, which unregistering removes.
std::string registrationManifestPath(const DesktopDirectories& directories);
std::string mimeAppsListPath(const DesktopDirectories& directories);

// Registers the program at programPath with the desktop: writes each file of the plan whose content
// changed (only the user's own files when the program is installed for all users, see
// RegistrationScope), removes the files an earlier registration wrote that the plan no longer
// holds, records the files in the manifest, adds the associations to mimeapps.list, and runs the
// database tools only for what changed. A failure skips that file and goes on with the rest.
RegistrationReport registerWithDesktop(const DesktopDirectories& directories, std::string_view programPath,
                                       const ToolRunner& runTool = runInstalledTool);

// Removes exactly the files the manifest lists (regular files only, never following a link), the
// manifest, and the program's entries in mimeapps.list.
RegistrationReport unregisterFromDesktop(const DesktopDirectories& directories,
                                         const ToolRunner& runTool = runInstalledTool);

// Whether a start of the program at executablePath registers it. A copy inside buildDirectory (the
// build tree it was compiled in) registers nothing, so a developer's builds never take over the
// desktop's associations, unless forceSetting is "1".
bool registrationWanted(std::string_view executablePath, std::string_view buildDirectory,
                        std::string_view forceSetting);

} // namespace quarvo
