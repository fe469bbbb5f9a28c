#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// The lines of the file-list ("Add To File") dialog: each names a file or a wildcard filter, in
// double quotes, relative to the directory the files are added from unless the user asked for full
// paths. The engine resolves relative lines from that same directory, so a line must lead from it
// to the file.

// The way from base to directory, both absolute paths: empty when they are the same directory, the
// remaining components when directory lies below base, ".." once per extra component of base when
// it is an ancestor, and for diverging paths ".." up to the common part followed by the rest of
// directory. Components compare exactly, letter case included, as the file system compares them.
// When the two do not share their root (one of them not absolute), the full directory is returned.
std::string relativeDirectory(std::string_view directory, std::string_view base);

// The line for name found in directoryPart: the part, a "/" when the part is not empty and does not
// end in one, the name, and all of it in double quotes.
std::string fileListLine(std::string_view directoryPart, std::string_view name);

// Whether lines already hold line, compared ignoring letter case (the engine matches names that
// way, so a line that differs in case only would add nothing new).
bool containsLineIgnoringCase(const std::vector<std::string>& lines, std::string_view line);

// Whether filter can be added as a filter line: it holds a wildcard ("*" or "$") and neither a
// blank nor a directory separator ("\" or "/"), so it names files of one directory only.
bool isAcceptableFilter(std::string_view filter);

// Whether the file browser lists name under filter. "*.*" lists every file, dotted or not, as it
// always has for users of this dialog; any other filter is a wildcard pattern (ignoring case).
bool filterListsFile(std::string_view filter, std::string_view name);

} // namespace quarvo
