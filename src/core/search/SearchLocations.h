#pragma once

#include "core/search/DirectoryWalk.h"

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// The starting directories of a Location text: its parts between ";", in order, empty ones kept.
std::vector<std::string> splitLocations(std::string_view location);

// Searches every part of the location text in turn with searchLocation. A cancelled part does not
// stop the ones after it: the cancel flag is cleared between two parts (the caller clears it before
// the first, so a cancel pressed as the search starts is not lost). A part that cannot be entered is
// passed by without a word. Returns the outcome of each part searched.
//
// continueWith, when given, is asked before each part after the first; false ends the search there
// (the dialog closing while it runs).
std::vector<WalkOutcome> searchLocations(std::string_view location, const SearchCriteria& criteria,
                                         const SearchListener& listener, std::atomic<bool>& cancel,
                                         const std::function<bool()>& continueWith = {});

} // namespace quarvo
