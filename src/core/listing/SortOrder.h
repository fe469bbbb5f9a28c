#pragma once

namespace quarvo {

// The orders a listing can show its rows in, numbered by the menu commands that choose them. All are
// ascending; texts compare ignoring letter case. Ties on the first key are broken as noted.
enum class SortOrder {
    CompressionOrder = 3600, // the order of the archive's directory; nothing is compared
    FileName = 3610,         // then directory
    Path = 3620,             // directory, then the full name
    Extension = 3630,        // then file name, then directory
    DateTime = 3640,         // date, time, then file name, then directory
    CompressedSize = 3650,   // then file name, then directory
    UncompressedSize = 3660, // then file name, then directory
    Ratio = 3670,            // compression ratio, then file name, then directory
};

// A new listing is sorted by file name.
constexpr SortOrder defaultSortOrder = SortOrder::FileName;

} // namespace quarvo
