#pragma once

#include <string>

namespace quarvo {

class Document;
class View;

// What viewing and running entries asks of the application's windows: archives opened from inside
// an archive get windows of their own, and the main window steps aside for a started program and
// comes back for the question that follows it. The Qt application implements it; the tests record.
class ApplicationWindows {
  public:
    virtual ~ApplicationWindows() = default;

    // Opens path as a document with its window, or brings forward the window of the document
    // already open on it. Null when that failed (the document has told the user why) or the
    // document's kind has no window yet.
    virtual Document* openDocumentWithWindow(const std::string& path) = 0;
    // Closes the document and its windows without asking.
    virtual void closeDocument(Document& document) = 0;
    // Brings the window that shows view to the front; false when no window shows it.
    virtual bool bringViewForward(View& view) = 0;
    // Restores and raises the main window, before a question about a program that ended.
    virtual void raiseMainWindow() = 0;
    // Takes the main window out of the "always on top" layer and unticks the command, so that a
    // started program can come to the front.
    virtual void leaveAlwaysOnTop() = 0;
};

} // namespace quarvo
