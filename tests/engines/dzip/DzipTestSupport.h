#pragma once

#include "engines/api/ZipCommand.h"
#include "support/TemporaryDirectory.h"

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quarvo::testing {

// What the callbacks of one dzip run saw; status answers 1 once stopAtStatus calls were made, or
// when stopWhen says so for the text and percent.
struct EngineRecord {
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    int stopAtStatus = -1;
    std::function<bool(const std::string&, uint32_t)> stopWhen;
    std::function<void(const std::string&)> onStatus;
    std::function<void(const std::string&)> onMessage;
};

// A command block with the program's defaults and callbacks wired to record.
ZipCommand makeCommand(uint32_t function, const std::string& archive, const std::string& items,
                       EngineRecord& record);

// One entry as Python's zipfile reads it.
struct ListedEntry {
    std::string name;
    uint64_t size = 0;
    uint32_t crc = 0;
    bool operator==(const ListedEntry&) const = default;
};

bool toolAvailable(const char* tool);
std::string commandOutput(const std::string& command);
// Entries by Python's zipfile, in directory order; testzip must pass (with the password if given).
std::vector<ListedEntry> listArchive(const std::string& archive, const std::string& password = {});
// Whether unzip -t, 7z t and Python's testzip all accept the archive.
void expectToolsAccept(const std::string& archive, const std::string& password = {});
// The listed names, sorted.
std::vector<std::string> namesIn(const std::string& archive);
// Files in a directory whose names start with the temporary-archive prefix.
int leftoverTemporaryFiles(const std::filesystem::path& directory);
uint32_t crcOf(const std::string& bytes);
// Inflates a raw deflate stream with zlib; "(damaged)" unless it ends exactly at its last byte.
std::string inflateRaw(const std::vector<uint8_t>& stream, size_t size);
// Words and newlines: deflates to well under half.
std::string textData(size_t size, unsigned seed);
// Bytes with few long repeats and a skewed distribution, as tables of small numbers have: three
// of four are one of sixteen values, the fourth is any byte. Huffman codes alone code them smaller
// than deflate.
std::string skewedNoise(size_t size, unsigned seed);
// Sets a file's access and modification times.
void setModified(const std::filesystem::path& path, std::time_t time);

} // namespace quarvo::testing
