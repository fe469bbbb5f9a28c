#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace quarvo {

// The recent directories of the compress and extract dialogs, most recent first.
constexpr size_t directoryHistorySize = 5;
using DirectoryHistory = std::array<std::string, directoryHistorySize>;

// Puts directory at the top of history. A directory already among the entries but the last moves
// to the top, so it is never listed twice; any other directory pushes the entries down and the last
// one falls off. Directories are compared exactly, letter case included, as disk paths are.
void addToDirectoryHistory(std::span<std::string> history, std::string_view directory);

} // namespace quarvo
