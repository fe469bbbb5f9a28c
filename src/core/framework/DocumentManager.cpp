#include "core/framework/DocumentManager.h"

#include "core/base/TextCase.h"
#include "core/framework/DocumentSaving.h"
#include "core/ui/DialogResult.h"

#include <algorithm>

namespace quarvo {

namespace {

// The extension of a path with its dot, or empty: the text from the last "." that follows the last
// "/".
std::string extensionWithDot(const std::string& path)
{
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot);
}

} // namespace

void DocumentManager::registerKind(DocumentKind kind)
{
    m_kinds.push_back(std::make_unique<DocumentKind>(std::move(kind)));
}

const DocumentKind* DocumentManager::kindForExtension(const std::string& extension) const
{
    for (const auto& kind : m_kinds) {
        if (equalsIgnoringCase(kind->extension, extension))
            return kind.get();
    }
    return nullptr;
}

const DocumentKind* DocumentManager::kindForPath(const std::string& path) const
{
    if (m_kinds.empty())
        return nullptr;
    if (const DocumentKind* kind = kindForExtension(extensionWithDot(path)))
        return kind;
    return m_kinds.front().get();
}

Document* DocumentManager::openDocument(const std::string& path)
{
    if (Document* open = findByPath(path))
        return open;
    const DocumentKind* kind = kindForPath(path);
    if (!kind || !kind->create)
        return nullptr;
    std::unique_ptr<Document> document = kind->create();
    document->setKind(kind);
    if (!document->onOpenDocument(path))
        return nullptr;
    if (document->path().empty())
        document->setPath(path);
    Document* opened = document.get();
    m_documents.push_back(std::move(document));
    if (m_openedListener)
        m_openedListener(*opened);
    return opened;
}

Document* DocumentManager::newDocument(const DocumentKind& kind)
{
    if (!kind.create)
        return nullptr;
    std::unique_ptr<Document> document = kind.create();
    document->setKind(&kind);
    if (!document->onNewDocument())
        return nullptr;
    // A document that chose no path of its own is named as unsaved documents are.
    if (document->title().empty())
        document->setTitle(SaveTexts::UntitledName);
    m_documents.push_back(std::move(document));
    return m_documents.back().get();
}

void DocumentManager::closeDocument(Document* document)
{
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [document](const auto& owned) { return owned.get() == document; });
    if (it == m_documents.end())
        return;
    // Take it out of the list first: closing may open or close other documents.
    std::unique_ptr<Document> owned = std::move(*it);
    m_documents.erase(it);
    if (m_closingListener)
        m_closingListener(*owned);
    owned->onCloseDocument();
}

bool DocumentManager::closeAllDocuments()
{
    bool allClosed = true;
    bool yesToAll = false;
    for (Document* document : documents()) {
        // Closing one document may close others (a parent closes its nested archives).
        if (std::none_of(m_documents.begin(), m_documents.end(),
                         [document](const auto& owned) { return owned.get() == document; }))
            continue;
        if (document->isNested())
            continue;
        int answer = yesToAll && document->isArchive() ? DialogResult::Yes : document->confirmClose(true);
        if (answer == DialogResult::YesToAll && document->isArchive()) {
            yesToAll = true;
            answer = DialogResult::Yes;
        }
        if (answer == DialogResult::No) {
            allClosed = false;
            continue;
        }
        if (answer != DialogResult::Yes)
            return false;
        closeDocument(document);
    }
    return allClosed;
}

std::vector<Document*> DocumentManager::documents() const
{
    std::vector<Document*> ordered;
    ordered.reserve(m_documents.size());
    for (const auto& kind : m_kinds) {
        for (const auto& document : m_documents) {
            if (document->kind() == kind.get())
                ordered.push_back(document.get());
        }
    }
    for (const auto& document : m_documents) {
        if (!document->kind())
            ordered.push_back(document.get());
    }
    return ordered;
}

Document* DocumentManager::findByPath(const std::string& path) const
{
    if (path.empty())
        return nullptr;
    for (const auto& document : m_documents) {
        if (document->path() == path)
            return document.get();
    }
    return nullptr;
}

} // namespace quarvo
