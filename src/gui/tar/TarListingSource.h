#pragma once

#include "gui/listing/ListingSource.h"

namespace quarvo {
class TarDocument;
}

namespace quarvo::gui {

// What a listing shows of an open TAR archive: its entries, the count and size of the last read,
// its checked-out state and the open copies of its entries.
class TarListingSource : public ListingSource {
public:
    explicit TarListingSource(TarDocument& document) : m_document(document) {}

    const std::vector<std::unique_ptr<ZipEntry>>& entries() const override;
    uint64_t totalEntryCount() const override;
    uint64_t totalUncompressedBytes() const override;
    bool isCheckedOut() const override;
    EntryOpenState openState(const ZipEntry& entry) const override;
    Document& document() override;

private:
    TarDocument& m_document;
};

} // namespace quarvo::gui
