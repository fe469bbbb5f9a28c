#include "ToolListing.h"

#include <algorithm>
#include <sstream>

namespace quarvo::testing {

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<ListedEntry> sorted(std::vector<ListedEntry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
    return entries;
}

ListedEntry unreadable(const std::string& line)
{
    return {"unreadable: " + line, 0, 0};
}

// Reads count blank-separated fields, then the name after exactly two blanks: the column layout
// of both quarvo-cli's and unzip's tables, where the name is the last column and may hold blanks.
bool readColumns(const std::string& line, size_t count, std::vector<std::string>& fields, std::string& name)
{
    fields.clear();
    size_t position = 0;
    while (fields.size() < count) {
        position = line.find_first_not_of(' ', position);
        if (position == std::string::npos)
            return false;
        const size_t end = line.find(' ', position);
        if (end == std::string::npos)
            return false;
        fields.push_back(line.substr(position, end - position));
        position = end;
    }
    if (line.compare(position, 2, "  ") != 0)
        return false;
    name = line.substr(position + 2);
    return true;
}

bool toNumber(const std::string& text, int base, uint64_t& value)
{
    if (text.empty())
        return false;
    size_t used = 0;
    try {
        value = std::stoull(text, &used, base);
    } catch (...) {
        return false;
    }
    return used == text.size();
}

// Size in fields[sizeField], CRC in fields[crcField]; entries between two rule lines.
std::vector<ListedEntry> parseTable(const std::string& listing, const std::string& headRule,
                                    const std::string& footRule, size_t columns, size_t sizeField,
                                    size_t crcField)
{
    std::vector<ListedEntry> entries;
    bool inside = false;
    for (const std::string& line : linesOf(listing)) {
        if (!inside) {
            inside = line.starts_with(headRule);
            continue;
        }
        if (line.starts_with(footRule))
            break;
        std::vector<std::string> fields;
        std::string name;
        uint64_t size = 0;
        uint64_t crc = 0;
        if (!readColumns(line, columns, fields, name) || !toNumber(fields[sizeField], 10, size) ||
            !toNumber(fields[crcField], 16, crc)) {
            entries.push_back(unreadable(line));
            continue;
        }
        entries.push_back({name, size, static_cast<uint32_t>(crc)});
    }
    return sorted(std::move(entries));
}

} // namespace

std::vector<ListedEntry> parseQuarvoTable(const std::string& listing)
{
    // Size, Packed, Ratio, Method, Date, Time, CRC-32, then the name.
    return parseTable(listing, "---------- ---------- ----- --------", "---------- ---------- -----", 7, 0,
                      6);
}

std::vector<ListedEntry> parseUnzipVerbose(const std::string& listing)
{
    // Length, Method, Size, Cmpr, Date, Time, CRC-32, then the name.
    return parseTable(listing, "--------  ------", "--------          -------", 7, 0, 6);
}

std::vector<ListedEntry> parseSevenZipTechnical(const std::string& listing)
{
    // Blocks of "Key = value" lines, one per entry, after a line of ten dashes.
    std::vector<ListedEntry> entries;
    bool inside = false;
    ListedEntry entry;
    bool folder = false;
    bool started = false;
    auto flush = [&] {
        if (started)
            entries.push_back({entry.name + (folder ? "/" : ""), entry.size, entry.crc});
        entry = {};
        folder = false;
        started = false;
    };
    for (const std::string& line : linesOf(listing)) {
        if (!inside) {
            inside = line == "----------";
            continue;
        }
        if (line.empty()) {
            flush();
            continue;
        }
        const size_t equals = line.find(" = ");
        const std::string key = line.substr(0, equals == std::string::npos ? line.size() : equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 3);
        uint64_t number = 0;
        if (key == "Path") {
            started = true;
            entry.name = value;
        } else if (key == "Folder") {
            folder = value == "+";
        } else if (key == "Size" && toNumber(value, 10, number)) {
            entry.size = number;
        } else if (key == "CRC" && toNumber(value, 16, number)) {
            entry.crc = static_cast<uint32_t>(number);
        }
    }
    flush();
    return sorted(std::move(entries));
}

std::vector<ListedEntry> parsePythonListing(const std::string& listing)
{
    std::vector<ListedEntry> entries;
    for (const std::string& line : linesOf(listing)) {
        const size_t first = line.find('\t');
        const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        uint64_t size = 0;
        uint64_t crc = 0;
        if (second == std::string::npos || !toNumber(line.substr(0, first), 10, size) ||
            !toNumber(line.substr(first + 1, second - first - 1), 16, crc)) {
            entries.push_back(unreadable(line));
            continue;
        }
        entries.push_back({line.substr(second + 1), size, static_cast<uint32_t>(crc)});
    }
    return sorted(std::move(entries));
}

const char* pythonListingScript()
{
    return "import sys, zipfile\n"
           "z = zipfile.ZipFile(sys.argv[1])\n"
           "if len(sys.argv) > 2: z.setpassword(sys.argv[2].encode())\n"
           "bad = z.testzip()\n"
           "for i in z.infolist(): print('%d\\t%08x\\t%s' % (i.file_size, i.CRC, i.filename))\n"
           "sys.exit(3 if bad else 0)\n";
}

std::string describe(const std::vector<ListedEntry>& entries)
{
    std::ostringstream out;
    for (const ListedEntry& entry : entries)
        out << "  " << entry.name << " " << entry.size << " " << std::hex << entry.crc << std::dec << "\n";
    return out.str();
}

} // namespace quarvo::testing
