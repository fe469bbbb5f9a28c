#pragma once

namespace quarvo {

class ArchiveEntrySource;
class DocumentManager;
class OpenItemList;
struct EntryLaunchServices;
struct OpenItem;

// The stage machine of a viewed, run or opened entry of an archive, run once per call:
//
// 1, just extracted to be opened as a document: a ".cfu" or ".cfz" copy opens as a job window; in an
//    archive whose rules open nested archives, a copy named as a TAR archive or compressed stream
//    (".tar", ".tgz", ".taz", ".gz", ".z") or holding a ZIP directory opens as a nested archive
//    window (stage 3 then); any other copy is launched as in stage 2. A copy that is not there (or
//    is no regular file) is reported and the item closed.
// 2, just extracted to be launched: View opens it with its associated program or the default
//    viewer, Run runs the edited command line; the item is then watched (stage 3). A launch that did
//    not start closes the item.
// 3, the program ended or the nested window is closing: an unchanged copy (inspectCopy) closes the
//    item. A changed one raises the main window and asks "The file has changed. Do you want to
//    update the ZIP file with the changed file?" with the name. Yes puts the copy back in place of
//    the entry, with the entry's method as the compression level (a stored entry is stored again)
//    and its password, and marks the item updated. When the answer is No, or the put-back is
//    refused or fails, the copy is kept (keepChangedCopy) and the user told where; then the item
//    closes. An archive that takes no changed copies (TAR, which the ZIP engine cannot write) asks
//    instead whether to keep the changed copy elsewhere, as it is read-only; Yes keeps it
//    (keepChangedCopy) and tells where.
//
// Closing the item may re-read the archive, which may fail and close the document: the caller must
// not touch the document afterwards.
void advanceOpenItem(ArchiveEntrySource& archive, OpenItem& item);

// Ends an item: forgets its launch, unlinks it from its entry, deletes its extra temporary files and
// removes it from the list (the release handler then deletes its private directory and closes its
// nested window). An updated item re-reads the archive; otherwise the listings repaint. Returns false
// when the re-read failed and closed the document.
bool closeOpenItem(ArchiveEntrySource& archive, OpenItem& item);

// Sets up the open-item list for archive documents: an item whose nested window closes, or whose
// process ended, advances through the stage machine of the archive that owns it, ZIP or TAR; a
// removed item's private directory is deleted (never one it does not own) and the window of its
// nested copy closed without offering the copy back again.
void installOpenItemHandlers(OpenItemList& openItems, EntryLaunchServices& services,
                             DocumentManager& manager);

} // namespace quarvo
