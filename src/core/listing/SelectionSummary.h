#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace quarvo {

struct ZipEntry;

// The selection of a listing as the status bar shows it: how many rows are selected and the sum of
// their uncompressed sizes.
struct SelectionSummary {
    uint64_t count = 0;
    uint64_t bytes = 0;

    friend bool operator==(const SelectionSummary&, const SelectionSummary&) = default;
};

// After the user changed a listing's selection: stores each row's state (as isRowSelected reports
// it for row i) in the row's entry, so that every view of the document and a re-read of the
// archive keep it, and counts the selection. Null rows are skipped.
SelectionSummary recountSelection(std::span<ZipEntry* const> rows,
                                  const std::function<bool(size_t row)>& isRowSelected);

// After another view changed the selection, or a listing was refilled: counts the rows whose entries
// are selected, changing nothing. The listing shows each row selected exactly when its entry is.
SelectionSummary countSelection(std::span<ZipEntry* const> rows);

// Whether a click on the column header bar selects every row (true) or clears the selection:
// it selects unless every row already is, and on an empty listing it clears.
bool headerClickSelectsAll(size_t rowCount, size_t selectedRowCount);

} // namespace quarvo
