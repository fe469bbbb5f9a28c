#pragma once

#include "core/base/Result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quarvo {

class ArchiveEntrySource;
class UserInterface;
struct ZipEntry;

// The item specification that picks the named entries for the engines: each stored name in double
// quotes, and for a directory entry ("dir/") also everything below it ("dir/*"). Nothing when a
// name holds a double quote, which the engines' list cannot carry; the first is given in rejected.
std::optional<std::string> dragSpecificationOf(const std::vector<std::string>& names,
                                               std::string* rejected = nullptr);

// What an archive document's extractEntriesForDrag does but for its own engine: the item
// specification of the names goes to extract, whose engine result tells whether the entries came
// out. A name that holds a double quote extracts nothing: the user is warned of it instead.
using DraggedEntriesExtraction = std::function<uint16_t(const std::string& specification)>;
bool extractDraggedEntries(UserInterface& ui, const std::vector<std::string>& names,
                           const DraggedEntriesExtraction& extract);

// The paths a drag of the entries offers once they were extracted into directory: each entry's file
// or directory there, in the entries' order, leaving out an entry that lies inside a dragged
// directory (the directory brings it along), one whose name would lead out of directory, and one
// the engine did not write.
std::vector<std::string> draggedPaths(const std::vector<const ZipEntry*>& entries,
                                      const std::string& directory);

// Extracts the entries dragged out of an archive's listing into a new private directory ("item-
// XXXXXX", as for a viewed entry) inside the scratch directory, through the archive's engine with
// its containment rules, and returns the paths to offer the drop target. The directory stays until
// the scratch directory is emptied at exit, so the target may copy or move from it when it likes.
// Fails (having removed the directory again) when it cannot be made, the engine failed or nothing
// was written; the user has been told of an engine failure.
Result<std::vector<std::string>> dragOutEntries(ArchiveEntrySource& archive,
                                                const std::vector<const ZipEntry*>& entries,
                                                const std::string& scratchDirectory);

} // namespace quarvo
