#pragma once

#include "core/framework/Document.h"
#include "core/framework/DocumentKind.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quarvo {

// Owns the registered document kinds and every open document.
class DocumentManager {
public:
    // Kinds keep their registration order: it decides which kind opens a file whose extension no
    // kind claims (the first), and the order of the close-all walk.
    void registerKind(DocumentKind kind);
    const std::vector<std::unique_ptr<DocumentKind>>& kinds() const { return m_kinds; }
    // The first kind whose extension equals the given one ignoring case; null when none does.
    const DocumentKind* kindForExtension(const std::string& extension) const;
    // The kind that opens path: by extension, else the first registered kind; null when none exists.
    const DocumentKind* kindForPath(const std::string& path) const;

    // Opens path as a document of its kind. A document already open on the same path is returned as
    // it is. Returns null when no kind is registered or the document failed to open (it has told the
    // user why). The listener, if set, hears of every document that opened.
    Document* openDocument(const std::string& path);
    // A new document of a kind, titled "Untitled" unless it chose a path; null when its
    // onNewDocument refused.
    Document* newDocument(const DocumentKind& kind);

    // Closes and destroys one document.
    void closeDocument(Document* document);
    // The walk behind Close All and Exit: asks each document of each kind in registration and opening
    // order, skipping nested archives. See Document::confirmClose. Returns true when every question
    // was answered Yes or Yes To All and the walk completed.
    bool closeAllDocuments();

    // Every open document, by kind in registration order, then in opening order.
    std::vector<Document*> documents() const;
    Document* findByPath(const std::string& path) const;

    // Called after a document opened from a path (the recent-file list hooks in here).
    void setOpenedListener(std::function<void(Document&)> listener) { m_openedListener = std::move(listener); }
    // Called when a document starts to close, however the close came about (a window, the close-all
    // walk, the document itself after its file went away), while it still exists: its windows let
    // go of it here.
    void setClosingListener(std::function<void(Document&)> listener) { m_closingListener = std::move(listener); }

private:
    std::vector<std::unique_ptr<DocumentKind>> m_kinds;
    std::vector<std::unique_ptr<Document>> m_documents; // in opening order
    std::function<void(Document&)> m_openedListener;
    std::function<void(Document&)> m_closingListener;
};

} // namespace quarvo
