#pragma once

#include <string_view>

namespace quarvo {

// Whether a name matches an engine pattern: `*` stands for any run of characters (none included),
// `?` for exactly one, everything else for itself with ASCII letters compared ignoring case, as the
// program's name matching does everywhere. "*.*" matches every name, with or without a dot. `*`
// and `?` never stand for "/", so a pattern matches within one path component at a time.
bool matchesNamePattern(std::string_view pattern, std::string_view name);

// Whether an entry name matches an item pattern of extraction or deletion: as above, except that
// `*` and `?` stand for "/" too, so "*" reaches into subdirectories.
bool matchesItemPattern(std::string_view pattern, std::string_view name);

// Whether the text holds `*` or `?`. (`[` is an ordinary character in engine patterns.)
bool hasWildcard(std::string_view text);

} // namespace quarvo
