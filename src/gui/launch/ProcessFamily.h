#pragma once

#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <sys/types.h>

namespace quarvo::gui {

// Which processes descend from a started program: a program often shows its window from a process it
// started itself (a launcher script that runs the real viewer, a terminal running an editor).

// The parent process id from the text of /proc/PID/stat: "PID (COMMAND) STATE PPID ...". The command
// may hold blanks and parentheses, so the fields are counted from its last ")". nullopt when the text
// is not such a line.
std::optional<pid_t> parentFromStatLine(std::string_view line);

// Every running process's parent, read from /proc.
std::map<pid_t, pid_t> currentParents();

// pid and every process below it, through parents (each process to its parent).
std::set<pid_t> familyOf(pid_t pid, const std::map<pid_t, pid_t>& parents);

} // namespace quarvo::gui
