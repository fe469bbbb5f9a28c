#pragma once

#include <string>
#include <vector>

namespace quarvo {

// A filter line of a file dialog: the text the user sees and the patterns it stands for.
struct FileDialogFilter {
    std::string description;
    std::vector<std::string> patterns;
};

// A request for a file open or save dialog; the answer is the chosen paths (none on Cancel).
struct FileDialogRequest {
    std::string title;
    std::vector<FileDialogFilter> filters;
    std::string initialDirectory;
    std::string fileName;
    std::string defaultExtension;
    bool allowMultiple = false;
};

} // namespace quarvo
