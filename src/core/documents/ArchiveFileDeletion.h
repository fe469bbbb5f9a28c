#pragma once

#include <string>

namespace quarvo {

class UserInterface;

enum class ArchiveFileDeletion {
    Deleted,
    // The file is read-only (no owner-write permission) or its directory or file system refuses
    // the deletion; nothing was deleted.
    AccessDenied,
    // Any other failure: the file is gone already, it is a directory, an I/O error.
    Failed,
};

// Deletes the archive file at path (a symbolic link is deleted as a link). A read-only file is left
// alone even where the directory would allow removing it, so that read-only protects an archive
// here as it does on every system the program's users know.
ArchiveFileDeletion deleteArchiveFile(const std::string& path);

// Asks whether to delete the archive at path (warning of its viewed entries when openItemCount is
// not 0) and deletes it on Yes, telling the user when that failed. Returns false when the user did
// not answer Yes; the document closes either way once it was asked.
bool askAndDeleteArchiveFile(UserInterface& ui, const std::string& path, int openItemCount);

} // namespace quarvo
