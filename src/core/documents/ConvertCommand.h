#pragma once

namespace quarvo {

class ZipDocument;

// The conversion commands of a ZIP document: Convert to ZIP (5052), to DOS EXE (5050), to Windows
// EXE (32780) and to a Linux self-extractor (5053). Asks for the new file in the mode's save dialog,
// asks the close question of a document open on that file, converts (the target is replaced only
// by a whole new file), then closes any document on the target and opens the new file. On failure it
// says "Error creating ... file from ARCHIVE!" (or "Error creating ... file TARGET!" when no new
// file could be made there) with the reason, and re-reads the archive. Either way the document may
// be closed afterwards (it was the target, or its re-read failed): the caller must not touch it.
// Returns true when the new file was written.
bool convertDocument(ZipDocument& document, int commandId);

} // namespace quarvo
