#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// The desktop entry's file name, which is also its id in mimeapps.list.
inline constexpr std::string_view DesktopEntryId = "quarvo.desktop";
// The name of the program's own icon in the icon theme.
inline constexpr std::string_view ProgramIconName = "quarvo";

// The name of the installed program, which an installation's desktop entry starts through PATH.
inline constexpr std::string_view InstalledProgramName = "quarvo";

// A value of string type in a desktop entry: backslash, newline, tab and carriage return escaped.
std::string escapeDesktopString(std::string_view text);

// One argument of an Exec key: always quoted, with the characters the quoting rules reserve escaped
// and then the string escapes applied, so a path with blanks, quotes, "$" or "%" arrives whole.
std::string quoteExecArgument(std::string_view argument);

// The text of quarvo.desktop for the program at programPath: opening a file of the eight kinds, and
// the "Extract..." action, which runs "quarvo --extract FILE".
std::string desktopEntryText(std::string_view programPath);

// The text of the quarvo.desktop an installation puts in the system's applications directory: the
// same entry, starting the installed program by its name, as entries of installed programs do, so the
// file stays right wherever the package puts the programs on PATH.
std::string installedDesktopEntryText();

} // namespace quarvo
