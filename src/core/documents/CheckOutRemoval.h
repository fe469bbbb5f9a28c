#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// Deletes what a check-out extracted: for each entry name, the file checkoutDirectory/name, then
// each directory between it and checkoutDirectory that has become empty, innermost first, stopping
// at the first that cannot be removed. checkoutDirectory itself always stays. A name that ends in
// "/" stands for a directory, which is removed when empty.
//
// Nothing outside checkoutDirectory is touched whatever a name holds: names with a ".." component
// are skipped, a leading "/" or "./" counts for nothing, and no symbolic link below
// checkoutDirectory is followed (a link in the place of a file is deleted as a link; a path through
// a link is skipped). Returns how many entries' files or directories were removed.
//
// With removeEmptiedParents false only the named files and directories go: a check-out that
// recorded what it created names its directories itself and keeps those that were there before.
int deleteCheckedOutFiles(const std::string& checkoutDirectory, std::span<const std::string> entryNames,
                          bool removeEmptiedParents = true);

// The components of a stored name below a directory, without empty and "." ones (so a leading "/"
// or "./" counts for nothing); none at all when one of them is "..".
std::vector<std::string> safeNameComponents(std::string_view name);

} // namespace quarvo
