#include "gui/launch/ProcessFamily.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quarvo::gui {

namespace {

std::optional<pid_t> parseNumber(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    pid_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

} // namespace

std::optional<pid_t> parentFromStatLine(std::string_view line)
{
    size_t commandEnd = line.rfind(')');
    if (commandEnd == std::string_view::npos || line.find('(') > commandEnd)
        return std::nullopt;
    // After the command: " STATE PPID ...".
    std::string_view rest = line.substr(commandEnd + 1);
    if (rest.size() < 4 || rest[0] != ' ' || rest[2] != ' ')
        return std::nullopt;
    rest.remove_prefix(3);
    return parseNumber(rest.substr(0, rest.find(' ')));
}

std::map<pid_t, pid_t> currentParents()
{
    std::map<pid_t, pid_t> parents;
    std::error_code error;
    // Stepped with error codes: processes come and go while /proc is read, and nothing may throw.
    for (std::filesystem::directory_iterator entry("/proc", error), end; !error && entry != end;
         entry.increment(error)) {
        std::optional<pid_t> pid = parseNumber(entry->path().filename().native());
        if (!pid)
            continue;
        std::ifstream stat(entry->path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) // the process ended meanwhile
            continue;
        if (std::optional<pid_t> parent = parentFromStatLine(line))
            parents[*pid] = *parent;
    }
    return parents;
}

std::set<pid_t> familyOf(pid_t pid, const std::map<pid_t, pid_t>& parents)
{
    std::map<pid_t, std::vector<pid_t>> children;
    for (const auto& [child, parent] : parents)
        children[parent].push_back(child);
    std::set<pid_t> family{pid};
    std::vector<pid_t> toVisit{pid};
    while (!toVisit.empty()) {
        pid_t next = toVisit.back();
        toVisit.pop_back();
        for (pid_t child : children[next])
            if (family.insert(child).second)
                toVisit.push_back(child);
    }
    return family;
}

} // namespace quarvo::gui
