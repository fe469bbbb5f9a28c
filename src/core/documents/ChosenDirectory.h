#pragma once

#include <span>
#include <string>

namespace quarvo {

// What follows the choice of a directory in the add-files and extract dialogs: the directory goes to
// the top of its history and becomes the working directory (relative names typed later are taken
// from it). A directory that cannot be entered leaves the working directory as it was.
void adoptChosenDirectory(std::span<std::string> history, const std::string& directory);

// The directory with a "/" appended when it does not end in one; an empty directory stays empty.
std::string withTrailingSlash(const std::string& directory);

} // namespace quarvo
