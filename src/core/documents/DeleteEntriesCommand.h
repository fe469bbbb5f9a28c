#pragma once

namespace quarvo {

class SelectionSource;
class ZipDocument;

// Deletes the entries selected in a listing (command 2600) after asking, with one compression engine
// run, then re-reads the archive because its size and time changed. The re-read may close the
// document (the archive vanished or became unreadable); the caller must then not touch it.
void deleteSelectedEntries(ZipDocument& document, const SelectionSource& selection);

} // namespace quarvo
