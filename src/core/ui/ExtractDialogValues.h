#pragma once

#include <array>
#include <string>

namespace quarvo {

namespace ArchiveKind {
constexpr int Zip = 1;
constexpr int Tar = 2;
} // namespace ArchiveKind

namespace FilesToExtract {
constexpr int All = 0;
constexpr int Selected = 1;
constexpr int Typed = 2; // the fileSpecification
} // namespace FilesToExtract

// The extract ("Extract Files") dialog: what the command shows and what the user chose. As with the
// add-files dialog, the command records the destination in the history and makes it the working
// directory.
struct ExtractDialogValues {
    // Shown only.
    std::string title;
    int archiveKind = ArchiveKind::Zip;
    // Whether "All Selected Files" may be chosen: off when the selection is empty or too large.
    bool selectionAvailable = true;
    std::array<std::string, 5> directoryHistory;

    // Edited.
    int operationIndex = 0; // 0 extract, 1 update, 2 freshen, 3 test
    int filesToExtract = FilesToExtract::Selected;
    std::string fileSpecification;
    bool overwrite = false;
    bool recreate = false;
    std::string password;
    std::string destinationDirectory;

    bool operator==(const ExtractDialogValues&) const = default;
};

} // namespace quarvo
