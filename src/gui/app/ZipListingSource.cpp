#include "gui/app/ZipListingSource.h"

#include "core/documents/OpenItem.h"
#include "core/documents/ZipDocument.h"

namespace quarvo::gui {

const std::vector<std::unique_ptr<ZipEntry>>& ZipListingSource::entries() const
{
    return m_document.entries();
}

uint64_t ZipListingSource::totalEntryCount() const
{
    // The count the archive states about itself, not the number of entries read.
    return m_document.archive().entriesTotal;
}

uint64_t ZipListingSource::totalUncompressedBytes() const
{
    return m_document.archive().totalUncompressed;
}

bool ZipListingSource::isCheckedOut() const
{
    return m_document.isCheckedOut();
}

EntryOpenState ZipListingSource::openState(const ZipEntry& entry) const
{
    if (!entry.openItem)
        return EntryOpenState::NotOpen;
    int kind = entry.openItem->kind;
    if (kind == OpenItemKind::ZipInZip || kind == OpenItemKind::ZipInZipClosing)
        return EntryOpenState::OpenAsArchive;
    return EntryOpenState::OpenOther;
}

Document& ZipListingSource::document()
{
    return m_document;
}

} // namespace quarvo::gui
