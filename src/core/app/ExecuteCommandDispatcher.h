#pragma once

#include "core/app/JobKind.h"

#include <string>
#include <string_view>

namespace quarvo {

class Document;

// What the running application offers the execute requests. The Qt application implements it; the
// tests implement it with a recorder.
class ExecuteCommandTarget {
  public:
    virtual ~ExecuteCommandTarget() = default;

    // Opens path as a document, or finds it already open. Null when it failed; the document has told
    // the user why.
    virtual Document* openDocument(const std::string& path) = 0;
    // Whether a document is open on path already.
    virtual bool isDocumentOpen(const std::string& path) const = 0;
    // Shows the main window with the start-up show state when it is hidden; otherwise nothing.
    virtual void showMainWindowIfHidden() = 0;
    // Runs the job of an open job document. Returns the job's result: 0 when it ran and succeeded.
    virtual int runJob(Document& document, JobKind kind) = 0;
    virtual void closeDocument(Document& document) = 0;
    // Shows the drag-and-drop compress dialog for an archive path (possibly empty) and a file-list
    // text; the dialog adds the files itself when the user confirms. False when the dialog could not
    // be shown.
    virtual bool offerFilesForCompression(const std::string& archivePath, const std::string& fileList) = 0;
    // Sends the Extract command to the first listing of an archive document.
    virtual void startExtract(Document& document) = 0;
};

// Handles one execute string. Returns true when it was handled, by these rules:
// open: opens the document and shows the main window; true even when the open failed.
// execute: false when the open failed; a job file runs (true) and is closed again when the request
//   opened it: a job that was open already, perhaps with edits not saved, stays open; any other
//   document stays open and the answer is false.
// Add: opens the archive unless its name is empty (false when that fails), then shows the compress
//   dialog; true once the dialog was shown.
// extract: false when the open failed, else starts the extract dialog of the archive; true.
// Any other text, and a path without its closing quote, is not handled (false).
bool dispatchExecuteCommand(std::string_view text, ExecuteCommandTarget& target);

} // namespace quarvo
