#include "core/dialogs/FileListLines.h"

#include "core/base/TextCase.h"
#include "core/listing/WildcardMatcher.h"

#include <algorithm>

namespace quarvo {

namespace {

// The components of a path: a leading "/" stands for the root and is a component of its own, so two
// paths that do not share it differ from their first component on. Empty components ("//", a
// trailing "/") are skipped.
std::vector<std::string_view> componentsOf(std::string_view path)
{
    std::vector<std::string_view> components;
    if (path.starts_with('/'))
        components.push_back("/");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

void appendComponent(std::string& path, std::string_view component)
{
    if (!path.empty())
        path += '/';
    path += component;
}

} // namespace

std::string relativeDirectory(std::string_view directory, std::string_view base)
{
    const std::vector<std::string_view> target = componentsOf(directory);
    const std::vector<std::string_view> from = componentsOf(base);
    auto [targetEnd, fromEnd] = std::mismatch(target.begin(), target.end(), from.begin(), from.end());
    if (targetEnd == target.begin())
        return std::string(directory);

    std::string result;
    for (auto up = fromEnd; up != from.end(); ++up)
        appendComponent(result, "..");
    for (auto down = targetEnd; down != target.end(); ++down)
        appendComponent(result, *down);
    return result;
}

std::string fileListLine(std::string_view directoryPart, std::string_view name)
{
    std::string line = "\"";
    line += directoryPart;
    if (!directoryPart.empty() && !directoryPart.ends_with('/'))
        line += '/';
    line += name;
    line += '"';
    return line;
}

bool containsLineIgnoringCase(const std::vector<std::string>& lines, std::string_view line)
{
    return std::any_of(lines.begin(), lines.end(),
                       [line](const std::string& present) { return equalsIgnoringCase(present, line); });
}

bool isAcceptableFilter(std::string_view filter)
{
    const bool hasWildcard = filter.find_first_of("*$") != std::string_view::npos;
    const bool namesOneDirectory = filter.find_first_of(" \\/") == std::string_view::npos;
    return hasWildcard && namesOneDirectory;
}

bool filterListsFile(std::string_view filter, std::string_view name)
{
    return filter == "*.*" || matches(name, filter);
}

} // namespace quarvo
