#pragma once

#include <string>

namespace quarvo {

// Deletes every file and subdirectory inside the directory open as directoryFd; the directory itself
// stays. Symbolic links are removed as links and never followed, so nothing outside the directory is
// touched even when a link inside points elsewhere. Subdirectories without write permission (as
// extracted from an archive) are opened up first. Goes on past an entry it cannot delete and returns
// false when anything was left behind.
bool removeDirectoryContentsAt(int directoryFd);

// The same for a directory named by path; a path that is a symbolic link is not followed (false).
bool removeDirectoryContents(const std::string& path);

// Removes the contents of path and then path itself; false when anything was left.
bool removeDirectoryTree(const std::string& path);

} // namespace quarvo
