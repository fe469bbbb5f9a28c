#pragma once

#include "core/listing/RowCells.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quarvo {
class Document;
struct ZipEntry;
} // namespace quarvo

namespace quarvo::gui {

// What a listing needs of the archive it shows. ZIP and TAR documents adapt to it, the tests
// implement it over a plain entry vector. The listing never owns the entries: its rows point into
// entries(), so a document that replaces them (a re-read) must tell its views with update hint 0
// before control returns to the event loop; the listing rebuilds its rows there.
class ListingSource {
public:
    virtual ~ListingSource() = default;

    // The current entries in the order of the archive's directory.
    virtual const std::vector<std::unique_ptr<ZipEntry>>& entries() const = 0;

    // The totals the status bar shows after "Total: ": the archive's own entry count (for a ZIP
    // archive the one its end record states, not the number of entries read) and the sum of the
    // uncompressed sizes.
    virtual uint64_t totalEntryCount() const = 0;
    virtual uint64_t totalUncompressedBytes() const = 0;

    // Every row shows the "-" marker while the archive is checked out.
    virtual bool isCheckedOut() const = 0;
    // Whether a copy of the entry is open, and how, for its marker cell.
    virtual EntryOpenState openState(const ZipEntry& entry) const = 0;

    // The document whose views share the entries' selection.
    virtual Document& document() = 0;
};

} // namespace quarvo::gui
