#pragma once

#include "core/convert/ArchiveConverter.h"
#include "core/convert/BuiltInStubs.h"
#include "core/zip/ZipDirectoryReader.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace quarvo::testing {

// A stand-in for our Linux extractor: an ELF-looking program part with no "MZ" in front.
inline const std::string& fakeLinuxExtractor()
{
    static const std::string program = std::string("\x7f"
                                                   "ELF",
                                                   4) +
                                       std::string(1000, '\x01');
    return program;
}

inline ConversionStubs builtInStubs()
{
    const std::string& extractor = fakeLinuxExtractor();
    return {builtInDosStub(), builtInWindowsImageRecord(),
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(extractor.data()), extractor.size())};
}

// What a conversion must keep of an entry: everything a reader sees but the name and the offset.
struct EntryFacts {
    uint32_t crc32 = 0;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint16_t method = 0;
    uint16_t flags = 0;
    std::string comment;
    bool operator==(const EntryFacts&) const = default;
};

struct ArchiveFacts {
    std::vector<std::string> names;
    std::vector<EntryFacts> entries;
    std::string comment;
    int kind = -1;
};

// The archive as our directory reader sees it; fails the test when it cannot be read.
inline ArchiveFacts readFacts(const std::string& path)
{
    ScriptedUserInterface ui;
    ZipDirectoryReader reader(ui, path);
    ArchiveFacts facts;
    EXPECT_TRUE(reader.readDirectory()) << path;
    for (const auto& entry : reader.entries()) {
        facts.names.push_back(entry->name);
        facts.entries.push_back({entry->crc32, entry->compressedSize, entry->uncompressedSize, entry->method,
                                 entry->flags, entry->comment});
    }
    facts.comment = reader.archive().archiveComment;
    facts.kind = reader.archive().selfExtractorKind;
    return facts;
}

// The names of the files in a directory, to see that no temporary file was left.
inline std::set<std::string> filesIn(const std::filesystem::path& directory)
{
    std::set<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(directory))
        names.insert(item.path().filename().string());
    return names;
}

class ConverterTest : public ::testing::Test {
  protected:
    std::string file(const std::string& name, const std::string& bytes)
    {
        std::string path = directory.file(name);
        writeFile(path, bytes);
        return path;
    }
    Result<Ok, ConvertError> convert(const std::string& from, const std::string& to, ConversionMode mode)
    {
        return convertArchive(from, to, mode, builtInStubs());
    }

    TemporaryDirectory directory;
};

} // namespace quarvo::testing
