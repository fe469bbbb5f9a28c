#pragma once

#include "core/app/CommandIds.h"

namespace quarvo {

// The orders a listing can show its rows in, each numbered by the menu command that chooses it, so
// that a command id converts to its order and back. All are ascending; texts compare ignoring
// letter case. Ties on the first key are broken as noted.
enum class SortOrder {
    CompressionOrder = CommandId::SortByOrder, // the order of the archive's directory; nothing is compared
    FileName = CommandId::SortByName,          // then directory
    Path = CommandId::SortByPath,              // directory, then the full name
    Extension = CommandId::SortByExtension,    // then file name, then directory
    DateTime = CommandId::SortByDate,          // date, time, then file name, then directory
    CompressedSize = CommandId::SortByCompressedSize,     // then file name, then directory
    UncompressedSize = CommandId::SortByUncompressedSize, // then file name, then directory
    Ratio = CommandId::SortByRatio,                       // compression ratio, then file name, then directory
};

// A new listing is sorted by file name.
constexpr SortOrder defaultSortOrder = SortOrder::FileName;

} // namespace quarvo
