#pragma once

#include "core/base/Result.h"

#include <string>

namespace quarvo {

// The private directory one viewed or run entry is extracted into: a new directory "item-XXXXXX"
// (mode 0700, made with mkdtemp) directly inside the scratch directory, so no two items ever share
// one, whichever listing or archive they come from. Fails with the system's reason.
Result<std::string> makeItemDirectory(const std::string& scratchDirectory);

// Removes an item's directory with everything in it, never following a symbolic link. Only a
// directory that makeItemDirectory could have made (an "item-" directory directly inside
// scratchDirectory, and a real directory, not a link) is touched; for anything else nothing happens
// and the answer is false. False also when something could not be deleted.
bool removeItemDirectory(const std::string& directory, const std::string& scratchDirectory);

} // namespace quarvo
