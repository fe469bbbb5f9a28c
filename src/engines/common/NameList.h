#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// Splits a list of names as the program hands them to the engines: names separated by blanks
// (spaces or tabs), a name with blanks inside double quotes. The quotes are removed; quoted and
// unquoted parts that touch form one name. Empty names ("") are dropped.
std::vector<std::string> splitNameList(std::string_view list);

} // namespace quarvo
