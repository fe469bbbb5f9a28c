#pragma once

#include <array>
#include <string>

namespace quarvo {

// The add-files ("Compress Files") dialog: what the command shows and what the user chose. The
// dialog checks the directory (offering to create a missing one); the command records it in the
// directory history and makes it the working directory.
struct AddFilesDialogValues {
    // Shown only.
    std::string title;
    // Whether the dialog works for an archive document at all; without one spanning is off.
    bool hasArchive = true;
    // Spanning and the whole-drive backup are offered only for an archive on a removable drive...
    bool archiveOnRemovableDrive = false;
    // ...that is not a self-extracting ".exe" archive.
    bool archiveIsSelfExtractor = false;
    // The recent source directories, most recent first, for the directory field's drop-down.
    std::array<std::string, 5> directoryHistory;

    // Edited.
    int operationIndex = 0; // 0 add, 1 update, 2 freshen, 3 move, 4 move/update, 5 move/freshen
    int compressionFactor = 5;
    int spanDiskType = 0;
    bool backupEntireDrive = false;
    bool recurse = false;
    bool storePath = false;
    std::string password; // empty: no encryption
    std::string sourceDirectory;

    bool operator==(const AddFilesDialogValues&) const = default;
};

} // namespace quarvo
