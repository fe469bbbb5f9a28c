#pragma once

#include "core/base/Result.h"
#include "core/ui/DialogResult.h"
#include "core/ui/FileDialogRequest.h"

#include <string>
#include <vector>

namespace quarvo {

class View;
struct DocumentKind;

// The base of every open file: its path and title, the modified flag and the views that show it.
// Concrete documents (ZIP and TAR archives, job files) override the open, new and close hooks.
class Document {
public:
    virtual ~Document();

    const std::string& path() const { return m_path; }
    void setPath(std::string path);
    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // The kind this document was created for; null until the manager hands it out.
    const DocumentKind* kind() const { return m_kind; }
    void setKind(const DocumentKind* kind) { m_kind = kind; }

    void attachView(View* view);
    void detachView(View* view);
    const std::vector<View*>& views() const { return m_views; }

    // Tells every attached view but the sender about a change; see UpdateHint.
    void updateAllViews(View* sender, int hint);

    // Creates a new, untitled document. Returns false when it cannot be created (the user cancelled
    // or an error was shown); the manager then discards the document.
    virtual bool onNewDocument() { return true; }
    // Loads the file at path. Returns false after telling the user why it failed.
    virtual bool onOpenDocument(const std::string& path) = 0;
    // Releases what the document holds; called once, just before the manager destroys it.
    virtual void onCloseDocument() {}

    // Asked by the close-all walk and by window closing. Returns DialogResult::Yes to close,
    // YesToAll to close this one and every later archive without asking, No to keep it open and go
    // on, or Cancel to stop the walk.
    virtual int confirmClose(bool closeAllMode)
    {
        (void)closeAllMode;
        return DialogResult::Yes;
    }
    // Documents the user keeps as files of their own (job files) have Save, Save As and the question
    // "Save changes to %1?" before they close (see DocumentSaving.h). Archives are written by their
    // engines, never saved as a whole, and have none of these.
    virtual bool isSavable() const { return false; }
    // Writes the whole document to path, replacing what was there. The error says why nothing was
    // written, in words for the user. Called only for a savable document.
    virtual Result<Ok> onSaveDocument(const std::string& path)
    {
        (void)path;
        return Error{"This document cannot be saved."};
    }
    // The title, filters and default extension of the Save As dialog; the framework adds the
    // directory and the file name.
    virtual FileDialogRequest saveAsRequest() const { return {}; }

    // Archive documents opened from inside another archive are closed by their parent.
    virtual bool isNested() const { return false; }
    // Archive documents share one "Yes To All" answer in the close-all walk; job documents do not.
    virtual bool isArchive() const { return false; }

private:
    std::string m_path;
    std::string m_title;
    bool m_modified = false;
    const DocumentKind* m_kind = nullptr;
    std::vector<View*> m_views;
};

} // namespace quarvo
