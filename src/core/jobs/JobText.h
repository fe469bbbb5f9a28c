#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// The rules a job's texts follow in a job file, where each value is the rest of one line.

// The characters of UTF-8 text: a well-formed sequence counts once, each byte of a malformed one
// counts as a character of its own.
size_t characterCount(std::string_view text);

// Why value cannot be kept under key in a job file, in words for the user; nothing when it can. A
// value longer than limit characters would have to be shortened, and a line break or NUL would cut it
// short when read back; either way the job would name something else.
std::optional<std::string> valueProblem(std::string_view key, std::string_view value, size_t limit);

// The lines of an archive comment: it is cut at every CR LF, lone LF and lone CR. An empty comment
// is one empty line.
std::vector<std::string> commentLines(std::string_view comment);

} // namespace quarvo
