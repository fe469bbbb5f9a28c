#include "cli/ListCommand.h"
#include "engines/api/EngineResult.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace quarvo::cli {
namespace {

using testing::ZipBuilder;

struct Listing {
    uint16_t result = 0;
    std::string out;
    std::string err;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string contentsOf(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text += static_cast<char>(c);
    return text;
}

class ListCommandTest : public ::testing::Test {
  protected:
    Listing list(const std::string& bytes, bool verbose = false)
    {
        testing::writeFile(path, bytes);
        CliRequest request;
        request.command = CliCommand::List;
        request.archive = path;
        request.verbose = verbose;
        std::unique_ptr<std::FILE, FileCloser> out(std::tmpfile()), err(std::tmpfile());
        Listing listing;
        listing.result = runList(request, out.get(), err.get());
        listing.out = contentsOf(out.get());
        listing.err = contentsOf(err.get());
        return listing;
    }

    testing::TemporaryDirectory directory;
    const std::string path = directory.file("a.zip");
};

TEST_F(ListCommandTest, AnEmptyArchiveHoldsNoEntriesAndIsListedSuccessfully)
{
    const std::string empty = ZipBuilder().finish();
    Listing names = list(empty);
    EXPECT_EQ(names.result, EngineResult::Ok);
    EXPECT_EQ(names.out, "");
    EXPECT_EQ(names.err, "quarvo-cli: " + path + " holds no entries\n");
    Listing table = list(empty, true);
    EXPECT_EQ(table.result, EngineResult::Ok);
    EXPECT_NE(table.out.find("0 entries\n"), std::string::npos) << table.out;
    EXPECT_EQ(table.err, names.err);
}

TEST_F(ListCommandTest, TheTableShowsSizesPastFourGibibytes)
{
    // One entry of 100 stored bytes said to expand to 5 GiB, in a ZIP64 extra field, and the count
    // given only by the ZIP64 end record.
    ZipBuilder builder;
    ZipBuilder::Entry entry = ZipBuilder::stored("big.bin", std::string(100, 'b'));
    builder.add(entry);
    builder.entries().front().uncompressedSize = 0xFFFFFFFF;
    builder.entries().front().extra = ZipBuilder::zip64Extra({uint64_t{5} << 30});
    const uint64_t directoryOffset = builder.size();
    std::string archive = builder.finish();
    const uint64_t end = archive.size() - 22;
    archive.resize(end);
    archive += ZipBuilder::zip64EndRecords(1, end - directoryOffset, directoryOffset, end) +
               ZipBuilder::endRecord(0, 0, 0xFFFF, 0xFFFF, static_cast<uint32_t>(end - directoryOffset),
                                     static_cast<uint32_t>(directoryOffset), "");
    Listing table = list(archive, true);
    EXPECT_EQ(table.result, EngineResult::Ok);
    EXPECT_NE(table.out.find("5368709120        100  100% Stored"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("5368709120        100  100%"), table.out.rfind("5368709120        100  100%"))
        << "the totals line sums the 64-bit sizes too";
    EXPECT_EQ(table.err, "");
}

TEST_F(ListCommandTest, AnArchiveThatCannotBeReadHereIsNotCalledNotAZipArchive)
{
    ZipBuilder oneEntry;
    oneEntry.add(ZipBuilder::stored("a.txt", "alpha"));
    // The last part of a set whose directory starts on the part before it.
    const std::string lastPart = ZipBuilder(oneEntry).finish(
        {.thisDisk = 1, .directoryStartDisk = 0, .entriesOnThisDisk = 1, .entriesTotal = 2, .comment = {}});
    // A locator whose ZIP64 end record is not where it says, nor before it.
    const uint64_t directoryOffset = oneEntry.size();
    std::string zip64 = ZipBuilder(oneEntry).finish();
    const uint64_t end = zip64.size() - 22;
    zip64.resize(end);
    std::string records = ZipBuilder::zip64EndRecords(1, end - directoryOffset, directoryOffset, end);
    records[3] = '\0';
    zip64 += records +
             ZipBuilder::endRecord(0, 0, 1, 1, static_cast<uint32_t>(end - directoryOffset), 0xFFFFFFFF, "");
    struct Case {
        const char* rule;
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {"the last part of a split set", lastPart,
         ": This is the last part of a split archive (a set spread over several disks or files); join its "
         "parts into one archive to read it."},
        {"a damaged ZIP64 end record", zip64,
         ": This is a ZIP64 archive whose ZIP64 end of central directory record is missing or damaged."},
        {"no end record", std::string(100, 'x'),
         ": This is not a ZIP archive: it has no end of central directory record."},
    };
    for (const Case& c : cases) {
        Listing listing = list(c.bytes);
        EXPECT_EQ(listing.result, EngineResult::BadArchive) << c.rule;
        EXPECT_EQ(listing.err, "quarvo-cli: " + path + c.message + "\n") << c.rule;
        EXPECT_EQ(listing.out, "") << c.rule;
    }
}

} // namespace
} // namespace quarvo::cli
