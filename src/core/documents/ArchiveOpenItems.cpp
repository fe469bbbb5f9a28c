#include "core/documents/ArchiveOpenItems.h"

#include "core/documents/OpenItemList.h"
#include "core/zip/ZipEntry.h"

namespace quarvo {

void ArchiveOpenItems::noteOpening(const std::string& path)
{
    m_nested = m_list.findByFullPath(path) != nullptr;
}

int ArchiveOpenItems::count() const
{
    return m_list.countFor(m_document);
}

void ArchiveOpenItems::dropEntries(EntryList& entries)
{
    for (const auto& entry : entries) {
        if (entry && entry->openItem)
            m_list.remove(entry->openItem);
    }
    entries.clear();
}

void ArchiveOpenItems::offerCopyToParent(const std::string& path)
{
    if (m_updateParentOnClose && m_nested)
        m_list.copyWindowClosing(path);
}

void ArchiveOpenItems::removeAll()
{
    for (OpenItem* item : m_list.itemsOf(m_document))
        m_list.remove(item);
}

} // namespace quarvo
