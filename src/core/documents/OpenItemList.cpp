#include "core/documents/OpenItemList.h"

#include "core/base/TextCase.h"
#include "core/framework/Document.h"

#include <algorithm>

namespace quarvo {

OpenItem& OpenItemList::add(Document& document, View* view)
{
    auto item = std::make_unique<OpenItem>();
    item->document = &document;
    item->view = view;
    m_items.push_back(std::move(item));
    updateModified(document);
    return *m_items.back();
}

void OpenItemList::remove(const OpenItem* item)
{
    auto found = std::find_if(m_items.begin(), m_items.end(),
                              [item](const auto& owned) { return owned.get() == item; });
    if (found == m_items.end())
        return;
    std::unique_ptr<OpenItem> owned = std::move(*found);
    m_items.erase(found);
    if (owned->document)
        updateModified(*owned->document);
    if (m_release)
        m_release(*owned);
}

OpenItem* OpenItemList::findByFullPath(std::string_view path) const
{
    for (const auto& item : m_items) {
        if (!item->name.empty() && item->fullTemporaryPath() == path)
            return item.get();
    }
    return nullptr;
}

OpenItem* OpenItemList::findByName(std::string_view name) const
{
    for (const auto& item : m_items) {
        if (!item->name.empty() && equalsIgnoringCase(item->name, name))
            return item.get();
    }
    return nullptr;
}

OpenItem* OpenItemList::findByProcessId(int64_t processId) const
{
    if (processId == 0)
        return nullptr;
    for (const auto& item : m_items) {
        if (item->launch.processId == processId)
            return item.get();
    }
    return nullptr;
}

int OpenItemList::countFor(const Document& document) const
{
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [&document](const auto& item) {
        return item->document == &document;
    }));
}

std::vector<OpenItem*> OpenItemList::itemsOf(const Document& document) const
{
    std::vector<OpenItem*> items;
    for (const auto& item : m_items) {
        if (item->document == &document)
            items.push_back(item.get());
    }
    return items;
}

void OpenItemList::advance(OpenItem& item)
{
    if (m_advance)
        m_advance(item);
}

void OpenItemList::copyWindowClosing(std::string_view path)
{
    if (OpenItem* item = findByFullPath(path)) {
        item->kind = OpenItemKind::ZipInZipClosing;
        advance(*item);
    }
}

void OpenItemList::processEnded(int64_t processId)
{
    OpenItem* item = findByProcessId(processId);
    if (!item)
        return;
    // Advancing forgets the process at once, before any question can let another end arrive.
    advance(*item);
}

void OpenItemList::updateModified(Document& document) const
{
    document.setModified(countFor(document) != 0);
}

} // namespace quarvo
