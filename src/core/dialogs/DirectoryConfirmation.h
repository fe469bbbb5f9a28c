#pragma once

#include <string>

namespace quarvo {

class UserInterface;

// The check the directory dialogs (compress, extract, check out) make when the user presses OK.
// A directory that exists passes. For a missing one the user is asked "Directory "..." does not
// exist. Create it?"; anything but Yes, or a directory that cannot be created ("Directory "..."
// could not be created."), fails and the dialog stays open. Only the last level is created, and only
// for an absolute path whose parent exists: a typing mistake never leaves a chain of directories
// behind, and a relative name would land wherever the program happens to stand.
bool confirmDirectory(UserInterface& ui, const std::string& directory);

} // namespace quarvo
