#pragma once

#include <string>

namespace quarvo {

// The directory that holds the running executable (from /proc/self/exe), without a trailing "/"
// unless it is the root. Empty when the system does not say where the executable is.
std::string executableDirectory();

} // namespace quarvo
