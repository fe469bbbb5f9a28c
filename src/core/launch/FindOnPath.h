#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

// The program's one search for a bare file name: the program directory first, then each directory of
// pathVariable in order. pathVariable is split at ":"; the text after the last ":" is a directory
// too, and an empty element means the current directory. A name counts as present in a directory
// when that directory joined with the name exists. Returns the joined path of the first match, or
// nullopt (also for an empty name).
std::optional<std::string> findOnPath(std::string_view name, std::string_view programDirectory,
                                      std::string_view pathVariable);

// As above with the PATH of the environment; an unset PATH adds no directories.
std::optional<std::string> findOnPath(std::string_view name, std::string_view programDirectory);

} // namespace quarvo
