#pragma once

#include "gui/listing/ListingSource.h"

namespace quarvo {
class ZipDocument;
}

namespace quarvo::gui {

// What a listing shows of an open ZIP archive: its entries, the totals of its end record, its
// checked-out state and the open copies of its entries.
class ZipListingSource : public ListingSource {
public:
    explicit ZipListingSource(ZipDocument& document) : m_document(document) {}

    const std::vector<std::unique_ptr<ZipEntry>>& entries() const override;
    uint64_t totalEntryCount() const override;
    uint64_t totalUncompressedBytes() const override;
    bool isCheckedOut() const override;
    EntryOpenState openState(const ZipEntry& entry) const override;
    Document& document() override;

private:
    ZipDocument& m_document;
};

} // namespace quarvo::gui
