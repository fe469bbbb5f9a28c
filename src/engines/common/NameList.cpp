#include "engines/common/NameList.h"

namespace quarvo {

std::vector<std::string> splitNameList(std::string_view list)
{
    std::vector<std::string> names;
    std::string current;
    bool quoted = false;
    for (char c : list) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (!current.empty())
                names.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        names.push_back(std::move(current));
    return names;
}

} // namespace quarvo
