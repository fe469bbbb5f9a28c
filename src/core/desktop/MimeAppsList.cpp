#include "core/desktop/MimeAppsList.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace quarvo {

namespace {

constexpr std::string_view AddedSection = "[Added Associations]";
constexpr std::string_view DefaultSection = "[Default Applications]";
constexpr std::string_view RemovedSection = "[Removed Associations]";

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

bool isSectionHeader(std::string_view line)
{
    line = trimmed(line);
    return line.starts_with('[');
}

// The key of a "key=value" line, or nothing for a comment, a blank or a header.
std::optional<std::string_view> keyOf(std::string_view line)
{
    std::string_view text = trimmed(line);
    size_t equals = text.find('=');
    if (text.empty() || text.front() == '#' || text.front() == '[' || equals == std::string_view::npos)
        return std::nullopt;
    return trimmed(text.substr(0, equals));
}

std::string_view valueOf(std::string_view line)
{
    return trimmed(line.substr(line.find('=') + 1));
}

std::vector<std::string> splitList(std::string_view value)
{
    std::vector<std::string> items;
    while (!value.empty()) {
        size_t end = value.find(';');
        std::string_view item = trimmed(value.substr(0, end));
        if (!item.empty())
            items.emplace_back(item);
        value = end == std::string_view::npos ? std::string_view{} : value.substr(end + 1);
    }
    return items;
}

// The range of lines of a section, from its header to the line before the next header.
struct SectionRange {
    size_t header;
    size_t end;
};

std::optional<SectionRange> findSection(const std::vector<std::string>& lines, std::string_view name)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (trimmed(lines[i]) != name)
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !isSectionHeader(lines[end]))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

SectionRange ensureSection(std::vector<std::string>& lines, std::string_view name)
{
    if (std::optional<SectionRange> found = findSection(lines, name))
        return *found;
    if (!lines.empty() && !trimmed(lines.back()).empty())
        lines.emplace_back();
    lines.emplace_back(name);
    return SectionRange{lines.size() - 1, lines.size()};
}

std::optional<size_t> findKey(const std::vector<std::string>& lines, SectionRange section, std::string_view key)
{
    for (size_t i = section.header + 1; i < section.end; ++i) {
        if (keyOf(lines[i]) == key)
            return i;
    }
    return std::nullopt;
}

// Inserts a line at the end of a section, before the blank lines that separate it from the next.
void appendToSection(std::vector<std::string>& lines, SectionRange& section, std::string line)
{
    size_t at = section.end;
    while (at > section.header + 1 && trimmed(lines[at - 1]).empty())
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    ++section.end;
}

void addToAddedAssociations(std::vector<std::string>& lines, std::string_view type, std::string_view id)
{
    SectionRange section = ensureSection(lines, AddedSection);
    std::optional<size_t> line = findKey(lines, section, type);
    if (!line) {
        appendToSection(lines, section, std::string(type) + "=" + std::string(id) + ";");
        return;
    }
    std::vector<std::string> items = splitList(valueOf(lines[*line]));
    if (std::find(items.begin(), items.end(), id) != items.end())
        return;
    std::string& text = lines[*line];
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (!text.empty() && text.back() != ';' && text.back() != '=')
        text += ';';
    text += std::string(id) + ";";
}

void addDefaultWhenNone(std::vector<std::string>& lines, std::string_view type, std::string_view id)
{
    SectionRange section = ensureSection(lines, DefaultSection);
    std::optional<size_t> line = findKey(lines, section, type);
    if (line && valueOf(lines[*line]).empty())
        lines[*line] = std::string(type) + "=" + std::string(id);
    if (line)
        return;
    appendToSection(lines, section, std::string(type) + "=" + std::string(id));
}

// Removes id from every list of a section; a line that held only id goes whole.
void removeFromSection(std::vector<std::string>& lines, std::string_view name, std::string_view id)
{
    std::optional<SectionRange> section = findSection(lines, name);
    if (!section)
        return;
    for (size_t i = section->end; i-- > section->header + 1;) {
        std::optional<std::string_view> key = keyOf(lines[i]);
        if (!key)
            continue;
        std::vector<std::string> items = splitList(valueOf(lines[i]));
        auto kept = std::remove(items.begin(), items.end(), id);
        if (kept == items.end())
            continue;
        items.erase(kept, items.end());
        if (items.empty()) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        std::string text = std::string(*key) + "=";
        for (const std::string& item : items)
            text += item + ";";
        lines[i] = text;
    }
}

// Whether the user took id away from the type in "Removed Associations".
bool userRemoved(const std::vector<std::string>& lines, std::string_view type, std::string_view id)
{
    std::optional<SectionRange> section = findSection(lines, RemovedSection);
    std::optional<size_t> line = section ? findKey(lines, *section, type) : std::nullopt;
    if (!line)
        return false;
    std::vector<std::string> items = splitList(valueOf(lines[*line]));
    return std::find(items.begin(), items.end(), id) != items.end();
}

} // namespace

std::string addAssociations(std::string_view text, std::span<const std::string_view> mimeTypes,
                            std::string_view desktopId)
{
    std::vector<std::string> lines = splitLines(text);
    std::vector<std::string_view> wanted;
    for (std::string_view type : mimeTypes) {
        if (!userRemoved(lines, type, desktopId))
            wanted.push_back(type);
    }
    for (std::string_view type : wanted)
        addToAddedAssociations(lines, type, desktopId);
    for (std::string_view type : wanted)
        addDefaultWhenNone(lines, type, desktopId);
    return joinLines(lines);
}

std::string removeAssociations(std::string_view text, std::string_view desktopId)
{
    std::vector<std::string> lines = splitLines(text);
    removeFromSection(lines, AddedSection, desktopId);
    removeFromSection(lines, DefaultSection, desktopId);
    return joinLines(lines);
}

} // namespace quarvo
