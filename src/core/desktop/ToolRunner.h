#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quarvo {

// Runs a desktop tool (update-mime-database and the like) with its arguments and waits for it.
using ToolRunner = std::function<void(const std::vector<std::string>& arguments)>;

// The real runner: looks the program up on PATH, runs it with its output discarded and waits. A tool
// that is not installed is no failure: the desktop then reads the files without its cache.
void runInstalledTool(const std::vector<std::string>& arguments);

} // namespace quarvo
