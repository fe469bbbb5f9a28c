#pragma once

namespace quarvo {

class ArchiveEntrySource;
class View;
struct ZipEntry;

// View (runMode false, command 8055) and Run (runMode true, 8054) of the caret entry of a listing:
//
// - No entry, or a directory entry: "You must select a file for this operation to work.".
// - The main window leaves the "always on top" layer, so the started program can come forward.
// - An entry already open comes forward again: its nested window, or its program's window. When that
//   window cannot be found, the copy is checked as if the program had ended (an edit is offered
//   back, not lost), unless the archive is checked out.
// - The archive's command guard (8055) may refuse; a TAR archive has none. An entry of the same
//   name open from another archive is refused with "The file selected can not be shown or run
//   because it is already being shown or run from another ZIP File." and that archive's window
//   comes forward. An entry stored as a symbolic link is refused: its target is never followed.
// - Run asks for the command line in the "Run File" dialog ("Executing the following command
//   line.", starting as the entry's name); an encrypted entry asks for its password. Cancel ends it
//   and leaves nothing behind.
// - The entry is extracted into a private directory of its own (or taken from the check-out
//   directory), and the stage machine runs: View opens a ".cfu" or ".cfz" entry as a job window
//   and, in an archive that opens nested archives (ZIP), a ".zip" or ".exe" entry that is an
//   archive and a TAR archive or compressed stream as a window of its own; it launches everything
//   else. The copy of an entry without a CRC-32 of its data (TAR, AES AE-2) is fingerprinted first,
//   to tell later whether it changed.
//
// listing is the view the entry was shown in (Show Parent brings it back). Nothing happens without
// the entry services, or while an engine runs. The archive may be re-read and, if that fails,
// closed: the caller must not touch the document afterwards.
void openEntry(ArchiveEntrySource& archive, View* listing, ZipEntry* entry, bool runMode);

} // namespace quarvo
