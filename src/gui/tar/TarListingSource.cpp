#include "gui/tar/TarListingSource.h"

#include "core/documents/OpenItem.h"
#include "core/tar/TarDocument.h"

namespace quarvo::gui {

const std::vector<std::unique_ptr<ZipEntry>>& TarListingSource::entries() const
{
    return m_document.entries();
}

uint64_t TarListingSource::totalEntryCount() const
{
    return m_document.entryTotal();
}

uint64_t TarListingSource::totalUncompressedBytes() const
{
    return m_document.totalUncompressed();
}

bool TarListingSource::isCheckedOut() const
{
    return m_document.isCheckedOut();
}

EntryOpenState TarListingSource::openState(const ZipEntry& entry) const
{
    return entry.openItem ? EntryOpenState::OpenOther : EntryOpenState::NotOpen;
}

Document& TarListingSource::document()
{
    return m_document;
}

} // namespace quarvo::gui
