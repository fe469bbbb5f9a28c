// Archives as other programs really write them, with the habits that a reader of their output must
// know: names in the local character set, "./" in front of every name, "\" from Windows, ZIP64
// records, data after the last entry cut short.

#include "DunzipTestSupport.h"
#include "engines/api/EngineResult.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>

namespace quarvo {
namespace {

using namespace quarvo::testing;
namespace fs = std::filesystem;

class ZipRealWorld : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes, const std::string& name = "archive.zip")
    {
        writeFile(work.path() / name, bytes);
        return work.file(name);
    }
    std::string out() const { return work.file("out"); }

    // Tools write non-ASCII names as they are only in a UTF-8 locale.
    ScopedEnvironment locale{"LC_ALL", "C.UTF-8"};
    TemporaryDirectory work;
};

ZipBuilder::Entry madeOn(uint8_t host, const std::string& name, const std::string& data)
{
    ZipBuilder::Entry entry = ZipBuilder::stored(name, data);
    entry.versionMadeBy = static_cast<uint16_t>(host << 8 | 30);
    return entry;
}

// Each producer archives the same tree; what we extract must be what unzip extracts, names to the
// byte, and a test must pass. Info-ZIP's zip stores "café.txt" as UTF-8 without flag bit 11, and
// bsdtar archiving "." puts "./" in front of every name.
TEST_F(ZipRealWorld, ExtractsWhatUnzipExtracts)
{
    if (!haveTool("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    writeFile(work.path() / "in/caf\xC3\xA9.txt", "caf\xC3\xA9\n");
    writeFile(work.path() / "in/sub/n\xC3\xA4me \xE2\x82\xAC.txt", "euro\n");
    writeFile(work.path() / "in/plain.txt", randomBytes(5000, 4));
    struct Producer {
        const char* tool;
        const char* command; // run inside in/, writes ../archive.zip
    };
    const Producer producers[] = {
        {"zip", "zip -qr ../archive.zip ."},
        {"bsdtar", "bsdtar --format zip -cf ../archive.zip ."},
        {"7z", "7z a -tzip ../archive.zip . >/dev/null"},
        {"python3", "python3 -c \"import zipfile, os\nwith zipfile.ZipFile('../archive.zip', 'w') as z:\n"
                    "  for d, _, fs in os.walk('.'):\n    [z.write(os.path.join(d, f)) for f in fs]\""},
    };
    for (const Producer& producer : producers) {
        SCOPED_TRACE(producer.tool);
        if (!haveTool(producer.tool))
            continue;
        fs::remove(work.file("archive.zip"));
        fs::remove_all(out());
        fs::remove_all(work.file("theirs"));
        ASSERT_TRUE(runQuietly("cd '" + work.file("in") + "' && " + producer.command));
        ASSERT_TRUE(
            runQuietly("unzip -q '" + work.file("archive.zip") + "' -d '" + work.file("theirs") + "'"));
        UnzipRun run = runDunzip(work.file("archive.zip"), out());
        ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
        EXPECT_EQ(treeOf(out()), treeOf(work.file("theirs")));
        EXPECT_TRUE(runQuietly("diff -r '" + out() + "' '" + work.file("theirs") + "'"));
        UnzipRun test = runDunzip(work.file("archive.zip"), "");
        EXPECT_EQ(test.result, EngineResult::Ok) << test.allMessages();
    }
}

// "\" separates directories only in names written by MS-DOS, OS/2 and Windows programs; on Unix it
// is a character of the file name. "." components are dropped wherever they stand.
TEST_F(ZipRealWorld, SeparatorsFollowTheHostThatMadeTheEntry)
{
    struct Case {
        uint8_t host;
        std::string name;
        std::string extractedAs; // empty: refused
    };
    const Case cases[] = {
        {3, "./dot.txt", "dot.txt"},
        {3, "./", ""},
        {3, "sub/./inner.txt", "sub/inner.txt"},
        {3, "unix\\name.txt", "unix\\name.txt"},
        {3, "..\\unix.txt", "..\\unix.txt"},
        {0, "dos\\dir\\a.txt", "dos/dir/a.txt"},
        {6, "os2\\b.txt", "os2/b.txt"},
        {10, "ntfs\\c.txt", "ntfs/c.txt"},
        {14, "vfat\\d.txt", "vfat/d.txt"},
        {14, "..\\escape.txt", ""},
        {10, "C:\\drive.txt", ""},
    };
    ZipBuilder builder;
    for (const Case& c : cases)
        builder.add(madeOn(c.host, c.name, c.name.ends_with('/') ? "" : c.name));
    const std::string archive = write(builder.finish());
    UnzipRun run = runDunzip(archive, out());
    EXPECT_EQ(run.result, EngineResult::EntriesSkipped) << run.allMessages();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.extractedAs.empty()) {
            EXPECT_EQ(readFile(out() + "/" + c.extractedAs), c.name);
        } else if (!c.name.ends_with('/')) {
            EXPECT_TRUE(run.mentioned("Refused " + c.name)) << run.allMessages();
        }
    }
    EXPECT_FALSE(fs::exists(work.file("escape.txt")));
    EXPECT_TRUE(run.mentioned("Extracted 9 of 11 entries; 2 had problems.")) << run.allMessages();
}

// Testing never skips the data of an entry because of its name: a name that extraction would refuse
// is reported on its own, and damage in that entry's data is found as in any other.
TEST_F(ZipRealWorld, TestChecksTheDataOfEveryEntryWhateverItsName)
{
    ZipBuilder builder;
    ZipBuilder::Entry damaged = ZipBuilder::stored("../damaged.txt", "data");
    damaged.crc32 ^= 1;
    builder.add(damaged)
        .add(ZipBuilder::stored("../sound.txt", "data"))
        .add(ZipBuilder::stored("./fine.txt", "data"));
    UnzipRun test = runDunzip(write(builder.finish()), "");
    EXPECT_EQ(test.result, EngineResult::CrcError) << test.allMessages();
    EXPECT_TRUE(test.mentioned("../damaged.txt: CRC error")) << test.allMessages();
    EXPECT_TRUE(test.mentioned("Unsafe name ../sound.txt: the name has a \"..\" component"))
        << test.allMessages();
    EXPECT_FALSE(test.mentioned("fine.txt")) << test.allMessages();
    EXPECT_TRUE(test.mentioned("Tested 1 of 3 entries; 2 had problems.")) << test.allMessages();
}

std::string le64(uint64_t value)
{
    std::string out;
    putLE32(out, static_cast<uint32_t>(value));
    putLE32(out, static_cast<uint32_t>(value >> 32));
    return out;
}

// A ZIP64 extra field holding the given values, in the order of the saturated fields.
std::string zip64Field(std::initializer_list<uint64_t> values)
{
    std::string field("\x01\x00", 2);
    putLE16(field, static_cast<uint32_t>(8 * values.size()));
    for (uint64_t value : values)
        field += le64(value);
    return field;
}

// The local header (and data) of entry, as ZipBuilder writes it, without a directory.
std::string localRecord(const ZipBuilder::Entry& entry)
{
    ZipBuilder builder;
    builder.add(entry);
    return builder.finish().substr(0, builder.size());
}

// Past 4 GiB: a stored entry of 4 GiB and more (a hole in a sparse file, never read), an entry
// whose local header lies beyond it, and a deflated entry that claims 5 GiB but ends early. The
// directory is found through a ZIP64 end record with a 64-bit offset.
TEST_F(ZipRealWorld, EntriesAndOffsetsPastFourGibibytesAreRead)
{
    constexpr uint64_t BigSize = (uint64_t{4} << 30) + 4096;
    constexpr uint64_t Claimed = uint64_t{5} << 30;
    ZipBuilder::Entry big = ZipBuilder::stored("big.bin", "");
    big.compressedSize = big.uncompressedSize = 0xFFFFFFFF;
    big.extra = zip64Field({BigSize, BigSize});
    const std::string bigHeader = localRecord(big);
    big.localHeaderOffset = 0;

    const uint64_t afterOffset = bigHeader.size() + BigSize;
    ZipBuilder::Entry after = ZipBuilder::stored("after.txt", "beyond four gibibytes");
    std::string tail = localRecord(after);
    after.localHeaderOffset = 0xFFFFFFFF;
    after.extra = zip64Field({afterOffset});

    const uint64_t shortOffset = afterOffset + tail.size();
    ZipBuilder::Entry claims = ZipBuilder::deflated("claims.bin", deflateRaw("only this"), "only this");
    claims.uncompressedSize = 0xFFFFFFFF;
    claims.extra = zip64Field({Claimed, claims.compressedSize});
    const uint32_t compressed = claims.compressedSize;
    claims.compressedSize = 0xFFFFFFFF;
    tail += localRecord(claims);
    claims.compressedSize = compressed;
    claims.localHeaderOffset = 0xFFFFFFFF;
    claims.extra = zip64Field({Claimed, shortOffset});

    const uint64_t directoryOffset = afterOffset + tail.size();
    std::string directory;
    for (const ZipBuilder::Entry* entry : {&big, &after, &claims})
        directory += ZipBuilder::centralHeader(*entry);
    tail += directory;
    tail += std::string("PK\x06\x06", 4) + le64(44) + std::string("\x2d\x03\x2d\x00", 4); // ZIP64 end record
    tail += std::string(8, '\0') + le64(3) + le64(3) + le64(directory.size()) + le64(directoryOffset);
    tail += std::string("PK\x06\x07", 4) + std::string(4, '\0') + le64(directoryOffset + directory.size()) +
            std::string("\x01\x00\x00\x00", 4); // locator
    tail += ZipBuilder::endRecord(0, 0, 3, 3, static_cast<uint32_t>(directory.size()), 0xFFFFFFFF, "");
    {
        std::ofstream file(work.file("big.zip"), std::ios::binary);
        file << bigHeader;
        file.seekp(static_cast<std::streamoff>(afterOffset)); // a hole: no disk space, never read
        file << tail;
        ASSERT_TRUE(file.good());
    }

    UnzipRun extracted =
        runDunzip(work.file("big.zip"), out(), [](UnzipCommand& c) { c.itemSpecification = "after.txt"; });
    ASSERT_EQ(extracted.result, EngineResult::Ok) << extracted.allMessages();
    EXPECT_EQ(readFile(out() + "/after.txt"), "beyond four gibibytes");

    UnzipRun tested = runDunzip(work.file("big.zip"), "",
                                [](UnzipCommand& c) { c.itemSpecification = "after.txt claims.bin"; });
    EXPECT_EQ(tested.result, EngineResult::CrcError) << tested.allMessages();
    // Every compressed byte is there: the stream ends, it is not cut.
    EXPECT_TRUE(tested.mentioned(
        "claims.bin: the compressed data is damaged: it gives only 9 of its declared 5368709120 bytes."))
        << tested.allMessages();
    EXPECT_TRUE(tested.mentioned("Tested 1 of 2 entries")) << tested.allMessages();
}

// Parts of a split set joined wrongly leave the last entry's data cut short by the directory, or its
// size past the end of the file: that entry alone is lost, the rest of the archive is not.
TEST_F(ZipRealWorld, WhatIsGoodIsSalvagedFromAnArchiveWhoseLastEntryRunsIntoTheDirectory)
{
    struct Case {
        const char* rule;
        uint32_t compressedSize; // of cut.bin, which holds 100 bytes
        std::string zip64;       // its ZIP64 extra field
        const char* message;
    };
    const Case cases[] = {
        {"into the directory", 4000, {}, "cut.bin: the data is truncated"},
        {"past the end of the file, in a ZIP64 field", 0xFFFFFFFF, zip64Field({1 << 20, 1 << 20}),
         "cut.bin: its ZIP64 extra field is short or points beyond the end of the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ZipBuilder builder;
        builder.add(ZipBuilder::stored("dir/", "")).add(ZipBuilder::stored("dir/good.txt", "good"));
        ZipBuilder::Entry cut = ZipBuilder::stored("cut.bin", std::string(100, 'c'));
        cut.compressedSize = cut.uncompressedSize = c.compressedSize; // the local header agrees
        cut.extra = c.zip64;
        builder.add(cut);
        fs::remove_all(out());
        const std::string archive = write(builder.finish());
        for (const std::string& destination : {std::string(), out()}) {
            UnzipRun run = runDunzip(archive, destination);
            EXPECT_NE(run.result, EngineResult::Ok) << run.allMessages();
            EXPECT_TRUE(run.mentioned(c.message)) << run.allMessages();
            EXPECT_TRUE(run.mentioned(" 2 of 3 entries; 1 had problems.")) << run.allMessages();
        }
        EXPECT_EQ(treeOf(out()), (std::vector<std::string>{"dir/", "dir/good.txt"}));
    }
}

// Python's zipfile and Info-ZIP's zip write a ZIP64 end record once an archive holds more than
// 65,535 entries; the end record then keeps 0xFFFF.
TEST_F(ZipRealWorld, MoreThan65535EntriesWithZip64EndRecords)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    ASSERT_TRUE(runQuietly("python3 -c \"import zipfile, sys\nwith zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                           "  for i in range(70000): z.writestr('d%d/e%d' % (i % 50, i), str(i))\" '" +
                           work.file("many.zip") + "'"));
    UnzipRun run = runDunzip(work.file("many.zip"), "");
    EXPECT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_TRUE(run.mentioned("No errors detected in 70000 entries.")) << run.allMessages();
}

} // namespace
} // namespace quarvo
