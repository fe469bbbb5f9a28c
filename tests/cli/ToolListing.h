#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarvo::testing {

// One entry as a tool lists it. Directory names end in "/" whatever the tool prints.
struct ListedEntry {
    std::string name;
    uint64_t size = 0;
    uint32_t crc = 0;
    bool operator==(const ListedEntry&) const = default;
};

// Each parser reads the listing one tool prints and returns the entries sorted by name; a line it
// cannot read becomes an entry named "unreadable: LINE", so a changed format fails the comparison
// instead of passing with fewer entries.
std::vector<ListedEntry> parseQuarvoTable(const std::string& listing);       // quarvo-cli list -v
std::vector<ListedEntry> parseUnzipVerbose(const std::string& listing);      // unzip -v
std::vector<ListedEntry> parseSevenZipTechnical(const std::string& listing); // 7z l -slt
std::vector<ListedEntry> parsePythonListing(const std::string& listing);     // pythonListingScript()

// A Python program that opens argv[1] with zipfile, sets argv[2] as the password when given, prints
// "SIZE<TAB>CRC<TAB>NAME" per entry and exits 3 when testzip finds a damaged entry.
const char* pythonListingScript();

std::string describe(const std::vector<ListedEntry>& entries);

} // namespace quarvo::testing
