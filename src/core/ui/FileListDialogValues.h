#pragma once

#include <string>
#include <vector>

namespace quarvo {

// The file-list ("Add To File") dialog: the names and filters to include and to exclude, each line
// in double quotes and relative to zipFromDirectory unless the user asked for full paths.
struct FileListDialogValues {
    // Shown only.
    std::string title;
    std::string zipFromDirectory;

    // Edited.
    std::vector<std::string> includeNames;
    std::vector<std::string> excludeNames;

    bool operator==(const FileListDialogValues&) const = default;
};

} // namespace quarvo
