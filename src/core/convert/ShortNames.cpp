#include "core/convert/ShortNames.h"

#include "core/base/TextCase.h"

#include <string>

namespace quarvo {

namespace {

constexpr size_t MaximumBaseLength = 8;
constexpr size_t MaximumExtensionLength = 4; // with its dot
constexpr size_t ShortBaseLength = 7;        // before "~" and the attempt number's digits
constexpr size_t ShortExtensionLength = 3;

struct NameParts {
    std::string base;
    std::string extension; // without its dot; empty when the name has no dot
    bool hasDot = false;
};

NameParts splitAtLastDot(const std::string& component)
{
    size_t dot = component.rfind('.');
    if (dot == std::string::npos)
        return {component, {}, false};
    return {component.substr(0, dot), component.substr(dot + 1), true};
}

// Rule 1: a name DOS takes as it is.
bool isShortAlready(const std::string& component)
{
    if (component.find_first_of(" +") != std::string::npos)
        return false;
    NameParts parts = splitAtLastDot(component);
    if (parts.base.size() > MaximumBaseLength || parts.base.find('.') != std::string::npos)
        return false;
    return !parts.hasDot || parts.extension.size() + 1 <= MaximumExtensionLength;
}

// Up to count characters of text for a short name: spaces and dots dropped, "+" and bytes outside
// ASCII turned into "_".
std::string shortCharacters(const std::string& text, size_t count)
{
    std::string taken;
    for (char c : text) {
        if (taken.size() >= count)
            break;
        if (c == ' ' || c == '.')
            continue;
        taken += c == '+' || static_cast<unsigned char>(c) >= 0x80 ? '_' : c;
    }
    return taken;
}

// Rule 2 for attempt n.
std::string numberedName(const NameParts& parts, unsigned attempt)
{
    std::string number = std::to_string(attempt);
    size_t baseLength = number.size() < ShortBaseLength ? ShortBaseLength - number.size() : 0;
    std::string name = shortCharacters(parts.base, baseLength) + "~" + number;
    std::string extension = shortCharacters(parts.extension, ShortExtensionLength);
    if (!extension.empty())
        name += "." + extension;
    return name;
}

} // namespace

std::string ShortNameMap::uniqueShortName(const Directory& directory, const std::string& component)
{
    if (isShortAlready(component) && !directory.given.contains(component))
        return component;
    NameParts parts = splitAtLastDot(component);
    // Ends: each attempt gives a different name, and a directory holds finitely many.
    for (unsigned attempt = 1;; ++attempt) {
        std::string name = numberedName(parts, attempt);
        if (!directory.given.contains(name))
            return name;
    }
}

std::string ShortNameMap::directoryComponent(const std::string& parent, const std::string& component)
{
    Directory& directory = m_directories[parent];
    if (auto known = directory.subdirectories.find(component); known != directory.subdirectories.end())
        return known->second;
    std::string name = uniqueShortName(directory, component);
    directory.given.insert(name);
    directory.subdirectories.emplace(component, name);
    return name;
}

std::string ShortNameMap::fileComponent(const std::string& parent, const std::string& component)
{
    Directory& directory = m_directories[parent];
    std::string name = uniqueShortName(directory, component);
    directory.given.insert(name);
    return name;
}

std::string ShortNameMap::shortNameOf(std::string_view storedName)
{
    const std::string upper = toUpperAscii(storedName);
    std::string shortPath;
    size_t start = 0;
    for (;;) {
        size_t slash = upper.find('/', start);
        if (slash == std::string::npos)
            break;
        std::string parent = shortPath;
        shortPath += directoryComponent(parent, upper.substr(start, slash - start)) + "/";
        start = slash + 1;
    }
    // A directory entry ends in "/": it has no file component of its own.
    if (start == upper.size())
        return shortPath;
    return shortPath + fileComponent(shortPath, upper.substr(start));
}

} // namespace quarvo
