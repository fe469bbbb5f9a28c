#pragma once

#include <cstdint>

namespace quarvo {

class ArchiveEntrySource;

// Check Out (8057) of a ZIP or TAR archive: asks for a directory and a password in the "Check Out"
// dialog (the directory joins the EXTRACT history), asks before checking out into a directory that
// is not empty, and extracts every entry there, recreating the stored directories and replacing
// files of the same names whatever the extraction options say (a TAR archive ignores the password). When the engine succeeds the document is checked out: viewing and running then use these
// files, and closing the archive offers to delete exactly the files and directories this check-out
// created.
//
// Returns the engine's result; 0 when the dialog or the question was not answered OK or Yes;
// SessionResult::Busy, without asking anything, while another engine operation runs.
uint16_t checkOut(ArchiveEntrySource& archive);

} // namespace quarvo
