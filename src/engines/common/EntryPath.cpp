#include "engines/common/EntryPath.h"

#include <algorithm>

namespace quarvo {

namespace {

std::vector<std::string_view> splitOnSlash(std::string_view text)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t slash = text.find('/', start);
        parts.push_back(
            text.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
        if (slash == std::string_view::npos)
            return parts;
        start = slash + 1;
    }
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

Result<EntryPath> splitEntryPath(std::string_view decodedName, std::string_view storedName,
                                 const EntryNameRules& rules)
{
    if (storedName.empty() || decodedName.empty())
        return Error{"the name is empty"};
    if (storedName.find('\0') != std::string_view::npos)
        return Error{"the name holds a NUL byte"};
    std::string separated(decodedName);
    if (rules.backslashIsSeparator)
        std::replace(separated.begin(), separated.end(), '\\', '/');
    std::string_view name = separated;
    if (name.front() == '/')
        return Error{"the name is an absolute path"};
    if (rules.refuseDrivePrefix && name.size() >= 2 && isAsciiLetter(name[0]) && name[1] == ':')
        return Error{"the name starts with a drive"};
    EntryPath path;
    if (name.back() == '/') {
        path.isDirectory = true;
        name.remove_suffix(1);
    }
    for (std::string_view part : splitOnSlash(name)) {
        if (part == ".")
            continue;
        if (part.empty())
            return Error{"the name has an empty component"};
        if (part == "..")
            return Error{"the name has a \"..\" component"};
        path.components.emplace_back(part);
    }
    if (path.components.empty() && !path.isDirectory)
        return Error{"the name holds no file name"};
    return path;
}

bool linkTargetStaysInside(const std::vector<std::string>& linkPath, std::string_view target)
{
    if (target.empty() || target.front() == '/' || target.find('\0') != std::string_view::npos)
        return false;
    // Depth below the destination of the directory holding the link. That directory and those
    // above it are real directories (they were opened without following links), so climbing
    // from it stays inside as long as it stops at the destination. A ".." after a named component
    // would climb from wherever that component leads, which another link may make anywhere, so
    // such a target is refused: every link we make only climbs real directories, then descends.
    size_t depth = linkPath.empty() ? 0 : linkPath.size() - 1;
    bool descending = false;
    for (std::string_view part : splitOnSlash(target)) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (descending || depth == 0)
                return false;
            --depth;
        } else {
            descending = true;
        }
    }
    return true;
}

} // namespace quarvo
