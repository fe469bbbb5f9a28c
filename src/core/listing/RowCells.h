#pragma once

#include "core/listing/ColumnLayout.h"
#include "core/listing/PlacedText.h"

#include <string_view>
#include <vector>

namespace quarvo {

struct ZipEntry;

// Whether an entry has a copy open, and how, as the marker cell tells.
enum class EntryOpenState {
    NotOpen,
    OpenAsArchive, // open in a window of its own as an archive
    OpenOther,     // a launched copy, a job-file window
};

// The marker cell of a row: "-" on every row of a checked-out document; otherwise " " for an entry
// without an open copy, "*" for one open as an archive window and "+" for any other open copy.
std::string_view rowMarker(bool documentCheckedOut, EntryOpenState openState);

// The texts of one detailed row, left to right: the marker ending at the name column's left edge,
// the file-name part starting there, then every character of the date, time, sizes, ratio and
// attributes in its own cell (ending at the cell's right edge; a size's last digit ends at its
// column's right edge), and the path-and-comment text starting at its column.
std::vector<PlacedText> detailedRowTexts(const ZipEntry& entry, const ColumnEdges& edges,
                                         std::string_view marker);

// The texts of one names-only row: the marker and the full stored name.
std::vector<PlacedText> nameOnlyRowTexts(const ZipEntry& entry, const ColumnEdges& edges,
                                         std::string_view marker);

} // namespace quarvo
