// ZIP64 records are written exactly when a count, size or offset needs them: from 65,535 entries,
// and from 0xFFFFFFFF bytes (that value itself being the marker). Python's zipfile is the
// independent reader of what was written; the archive's last bytes say which end records it has.
// Large inputs are sparse files; the big archives exist only as long as their test.

#include "DzipTestSupport.h"

#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/api/ZipCommand.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <zlib.h>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

constexpr uint64_t FourGiB = 1ull << 32;
constexpr uint16_t SaturatedCount = 0xFFFF;

// One entry as Python's zipfile reads it, with whether its central extra field has a ZIP64 block.
struct Row {
    std::string name;
    uint64_t size = 0;
    uint64_t compressed = 0;
    uint64_t offset = 0;
    uint32_t crc = 0;
    bool zip64Extra = false;
};

std::vector<Row> rowsOf(const std::string& archive)
{
    const std::string script = "import sys, zipfile, struct\n"
                               "z = zipfile.ZipFile(sys.argv[1])\n"
                               "def has64(extra):\n"
                               "    i = 0\n"
                               "    while i + 4 <= len(extra):\n"
                               "        tag, size = struct.unpack('<HH', extra[i:i+4])\n"
                               "        if tag == 1: return 1\n"
                               "        i += 4 + size\n"
                               "    return 0\n"
                               "for i in z.infolist():\n"
                               "    print(i.filename, i.file_size, i.compress_size, i.header_offset, i.CRC,"
                               " has64(i.extra))\n";
    std::istringstream lines(commandOutput("python3 -c \"" + script + "\" '" + archive + "'"));
    std::vector<Row> rows;
    Row row;
    while (lines >> row.name >> row.size >> row.compressed >> row.offset >> row.crc >> row.zip64Extra)
        rows.push_back(row);
    return rows;
}

// What the last 42 bytes of an archive without a comment say: the end record's count and offset,
// and whether a ZIP64 locator stands before it.
struct Tail {
    bool zip64End = false;
    uint16_t count = 0;
    uint32_t directoryOffset = 0;
};

Tail tailOf(const std::string& archive)
{
    const int fd = open(archive.c_str(), O_RDONLY);
    const off_t size = lseek(fd, 0, SEEK_END);
    uint8_t bytes[42] = {};
    EXPECT_EQ(pread(fd, bytes, sizeof bytes, size - 42), 42);
    close(fd);
    const uint8_t* end = bytes + 20;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(end), 4), "PK\x05\x06");
    Tail tail;
    tail.zip64End = std::string(reinterpret_cast<const char*>(bytes), 4) == "PK\x06\x07";
    tail.count = static_cast<uint16_t>(end[10] | end[11] << 8);
    tail.directoryOffset = static_cast<uint32_t>(end[16] | end[17] << 8 | end[18] << 16) |
                           static_cast<uint32_t>(end[19]) << 24;
    return tail;
}

// The local header of the entry at offset: its two 32-bit size fields and whether its extra field
// has a ZIP64 block.
struct LocalSizes {
    uint32_t compressed = 0;
    uint32_t uncompressed = 0;
    bool zip64Extra = false;
};

LocalSizes localSizesAt(const std::string& archive, uint64_t offset)
{
    const int fd = open(archive.c_str(), O_RDONLY);
    std::vector<uint8_t> bytes(1024);
    bytes.resize(static_cast<size_t>(std::max<ssize_t>(0, pread(fd, bytes.data(), bytes.size(), offset))));
    close(fd);
    auto header = parseLocalHeader(bytes);
    EXPECT_TRUE(header.ok());
    if (!header.ok())
        return {};
    return {header->fields.compressedSize, header->fields.uncompressedSize,
            findExtraBlock(header->extra, 1).has_value()};
}

// The CRC-32 of size zero bytes, the content of a sparse file, by zlib: a run of zeros is joined to
// itself bit by bit of the size.
uint32_t crcOfZeros(uint64_t size)
{
    const uint8_t zero = 0;
    uLong crc = crc32(0, nullptr, 0);
    uLong run = crc32(0, &zero, 1);
    for (uint64_t length = 1; size != 0; size >>= 1, run = crc32_combine64(run, run, length), length *= 2) {
        if (size & 1)
            crc = crc32_combine64(crc, run, length);
    }
    return static_cast<uint32_t>(crc);
}

void makeSparseFile(const fs::path& path, uint64_t size)
{
    writeFile(path, "");
    fs::resize_file(path, size);
}

// Where the first entry's stored data puts what follows it, and what that needs.
struct OffsetCase {
    const char* rule;
    uint64_t target;
    bool secondEntry;
    bool entryZip64;
    bool endZip64;
};

class Zip64Write : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolAvailable("python3"))
            GTEST_SKIP() << "python3 is missing";
        source = work.path() / "src";
        fs::create_directories(source);
    }

    uint16_t run(uint32_t function, const std::string& items, const std::function<void(ZipCommand&)>& adjust = {})
    {
        record = {};
        ZipCommand command = makeCommand(function, archive, items, record);
        if (adjust)
            adjust(command);
        return dzip(&command);
    }

    std::string allIn(const fs::path& directory) const { return "\"" + (directory / "*.*").string() + "\""; }
    // A file of the source directory, stored under its own name.
    std::string named(const std::string& name) const { return "\"" + (source / name).string() + "*\""; }

    // Stored, the first entry's header (30 bytes and the name) and data put what follows at target:
    // the second entry, or else the directory.
    void checkOffset(const OffsetCase& c)
    {
        SCOPED_TRACE(c.rule);
        const uint64_t firstHeader = 30 + std::string("a.bin").size();
        fs::remove(archive);
        fs::remove_all(source);
        makeSparseFile(source / "a.bin", c.target - firstHeader);
        if (c.secondEntry)
            writeFile(source / "b.txt", "after the big one");
        ASSERT_EQ(run(ZipFunction::Add, allIn(source), [](ZipCommand& command) { command.compressionLevel = 0; }),
                  EngineResult::Ok);
        const std::vector<Row> rows = rowsOf(archive);
        ASSERT_EQ(rows.size(), c.secondEntry ? 2u : 1u);
        EXPECT_EQ(rows[0].zip64Extra, false);
        const Tail tail = tailOf(archive);
        EXPECT_EQ(tail.zip64End, c.endZip64);
        if (!c.secondEntry) {
            EXPECT_EQ(tail.directoryOffset, std::min<uint64_t>(c.target, 0xFFFFFFFF));
            return;
        }
        EXPECT_EQ(rows[1].offset, c.target);
        EXPECT_EQ(rows[1].zip64Extra, c.entryZip64);
        EXPECT_EQ(tail.directoryOffset, 0xFFFFFFFFu);
        const std::string quotedArchive = "'" + archive + "'";
        EXPECT_EQ(commandOutput("unzip -p " + quotedArchive + " b.txt"), "after the big one");
        if (toolAvailable("7z")) {
            EXPECT_NE(commandOutput("7z t " + quotedArchive + " b.txt").find("Everything is Ok"), std::string::npos);
        }
    }

    TemporaryDirectory work;
    fs::path source;
    std::string archive = work.file("a.zip");
    EngineRecord record;
};

} // namespace

// 0xFFFF in the end record's count means "see the ZIP64 end record", so 65,534 entries is the most
// a plain archive holds. Adding across the limit writes ZIP64 end records; deleting back below it
// writes a plain archive again.
TEST_F(Zip64Write, EntryCountFrom65535OnNeedsZip64EndRecords)
{
    struct Case {
        size_t filesAdded;
        size_t entries;
        bool zip64;
    } cases[] = {{1, 65534, false}, {2, 65535, true}, {3, 65536, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        writeFile(archive, ZipBuilder::emptyEntries(65533));
        fs::remove_all(source);
        for (size_t i = 0; i < c.filesAdded; ++i)
            writeFile(source / ("new" + std::to_string(i) + ".txt"), "new " + std::to_string(i));
        ASSERT_EQ(run(ZipFunction::Add, allIn(source)), EngineResult::Ok);
        const std::vector<Row> rows = rowsOf(archive);
        ASSERT_EQ(rows.size(), c.entries);
        EXPECT_EQ(rows.back().name, "new" + std::to_string(c.filesAdded - 1) + ".txt");
        EXPECT_EQ(rows.back().size, 5u);
        const Tail tail = tailOf(archive);
        EXPECT_EQ(tail.zip64End, c.zip64);
        EXPECT_EQ(tail.count, c.zip64 ? SaturatedCount : c.entries);
        EXPECT_NE(tail.directoryOffset, 0xFFFFFFFFu) << "only the count needs ZIP64";

        ASSERT_EQ(run(ZipFunction::Delete, "e0"), EngineResult::Ok);
        EXPECT_EQ(tailOf(archive).zip64End, c.entries - 1 >= 65535);
        EXPECT_EQ(rowsOf(archive).size(), c.entries - 1);
    }
    expectToolsAccept(archive);
}

// Every writing function rewrites a ZIP64 archive with its self-extractor stub in front: the stub
// stays, the offsets count from the start of the file, and the end records are ZIP64 exactly when
// the new count needs them.
TEST_F(Zip64Write, EveryFunctionKeepsStubAndZip64WhereStillNeeded)
{
    const std::string stub = "#!/bin/sh\necho self-extractor\nexit 0\n";
    const std::string original = ZipBuilder::emptyEntries(65535, stub);
    writeFile(source / "e5", "newer data");
    writeFile(source / "extra.txt", "one more");
    struct Case {
        const char* name;
        uint32_t function;
        std::string items;
        bool move;
        size_t entries;
        bool zip64;
    } cases[] = {
        {"add", ZipFunction::Add, named("extra.txt"), false, 65536, true},
        {"update", ZipFunction::Update, named("e5"), false, 65535, true},
        {"freshen", ZipFunction::Freshen, allIn(source), false, 65535, true},
        {"move", ZipFunction::Add, named("extra.txt"), true, 65536, true},
        {"delete", ZipFunction::Delete, "e65534", false, 65534, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(archive, original);
        writeFile(source / "extra.txt", "one more");
        setModified(source / "e5", 2000000000);
        ASSERT_EQ(run(c.function, c.items,
                      [&](ZipCommand& command) {
                          command.deleteSourceFiles = c.move;
                          command.commentGiven = 1;
                          command.comment = "kept comment";
                      }),
                  EngineResult::Ok);
        const std::string bytes = readFile(archive);
        EXPECT_EQ(bytes.substr(0, stub.size()), stub);
        const std::vector<Row> rows = rowsOf(archive);
        ASSERT_EQ(rows.size(), c.entries);
        EXPECT_EQ(rows.front().offset, stub.size());
        EXPECT_EQ(bytes.substr(rows.back().offset, 4), "PK\x03\x04");
        EXPECT_EQ(bytes.find("PK\x06\x06") != std::string::npos, c.zip64);
        EXPECT_EQ(fs::exists(source / "extra.txt"), !c.move);
        EXPECT_NE(bytes.find("kept comment"), std::string::npos);
    }
    expectToolsAccept(archive);
}

// A size of 0xFFFFFFFF or more is given in ZIP64 extra fields, local and central, with the 32-bit
// fields saturated; one byte less fits the plain fields. Sparse files of zeros deflate fast.
TEST_F(Zip64Write, EntrySizeFrom4GiBLessOneOnNeedsZip64Fields)
{
    struct Case {
        uint64_t size;
        bool zip64;
    } cases[] = {{FourGiB - 2, false}, {FourGiB - 1, true}, {FourGiB, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        fs::remove(archive);
        makeSparseFile(source / "big.bin", c.size);
        ASSERT_EQ(run(ZipFunction::Add, allIn(source), [](ZipCommand& command) { command.compressionLevel = 1; }),
                  EngineResult::Ok);
        fs::remove(source / "big.bin");
        const std::vector<Row> rows = rowsOf(archive);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].size, c.size);
        EXPECT_LT(rows[0].compressed, c.size / 100);
        EXPECT_EQ(rows[0].crc, crcOfZeros(c.size));
        EXPECT_EQ(rows[0].zip64Extra, c.zip64);
        const LocalSizes local = localSizesAt(archive, 0);
        EXPECT_EQ(local.zip64Extra, c.zip64);
        EXPECT_EQ(local.uncompressed, c.zip64 ? 0xFFFFFFFFu : c.size);
        EXPECT_FALSE(tailOf(archive).zip64End) << "a small archive needs no ZIP64 end record";
    }
}

// An entry whose local header starts at 0xFFFFFFFF or later gives its offset in a ZIP64 extra
// field; a directory starting there needs the ZIP64 end record. At 0xFFFFFFFE both fit.
TEST_F(Zip64Write, OffsetsFrom4GiBLessOneOnNeedZip64)
{
    const OffsetCase cases[] = {
        {"directory at 4 GiB - 2", FourGiB - 2, false, false, false},
        {"entry at 4 GiB - 2", FourGiB - 2, true, false, true},
        {"entry at 4 GiB - 1", FourGiB - 1, true, true, true},
    };
    for (const OffsetCase& c : cases)
        checkOffset(c);
}

// 0xFFFFFFFF is the marker itself, so a directory starting exactly there needs the ZIP64 end record
// as one past it does; an entry at exactly 4 GiB needs its ZIP64 offset.
TEST_F(Zip64Write, ADirectoryAt4GiBLessOneAndAnEntryAt4GiBNeedZip64)
{
    const OffsetCase cases[] = {
        {"directory at 4 GiB - 1", FourGiB - 1, false, false, true},
        {"entry at 4 GiB", FourGiB, true, true, true},
    };
    for (const OffsetCase& c : cases)
        checkOffset(c);
}

// A rewrite keeps a ZIP64 block whose values still stand: a 64-bit size, and the small sizes zip
// -fz writes there (byte for byte, as any plain copy). A block that gave the old offset is made
// again for the new one, or dropped when it fits. The stub in front stays.
TEST_F(Zip64Write, RewriteKeepsZip64BlocksThatStillStandAndDropsOffsetsThatFit)
{
    ZipBuilder builder;
    builder.appendRaw("STUB");
    ZipBuilder::Entry huge = ZipBuilder::stored("huge.bin", "");
    huge.uncompressedSize = 0xFFFFFFFF;
    huge.extra = ZipBuilder::zip64Extra({5 * FourGiB / 4});
    builder.add(huge);
    ZipBuilder::Entry small = ZipBuilder::stored("small.txt", "small");
    small.compressedSize = small.uncompressedSize = 0xFFFFFFFF;
    small.extra = ZipBuilder::zip64Extra({5, 5});
    builder.add(small);
    builder.add(ZipBuilder::stored("moved.txt", "moved"));
    ZipBuilder::Entry& moved = builder.entries().back();
    moved.extra = ZipBuilder::zip64Extra({moved.localHeaderOffset});
    moved.localHeaderOffset = 0xFFFFFFFF;
    writeFile(archive, builder.finish());
    const std::string smallRecord = ZipBuilder::centralHeader(builder.entries()[1]).substr(4, 38);
    writeFile(source / "new.txt", "new");

    ASSERT_EQ(run(ZipFunction::Add, allIn(source)), EngineResult::Ok);
    std::vector<Row> rows = rowsOf(archive);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].size, 5 * FourGiB / 4);
    EXPECT_TRUE(rows[0].zip64Extra);
    EXPECT_TRUE(rows[1].zip64Extra);
    EXPECT_FALSE(rows[2].zip64Extra);
    EXPECT_EQ(commandOutput("unzip -p '" + archive + "' moved.txt"), "moved");
    EXPECT_NE(readFile(archive).find(smallRecord), std::string::npos) << "small.txt's fields as written";

    ASSERT_EQ(run(ZipFunction::Delete, "huge.bin"), EngineResult::Ok);
    const std::string bytes = readFile(archive);
    EXPECT_EQ(bytes.substr(0, 4), "STUB");
    EXPECT_EQ(bytes.find("PK\x06\x06"), std::string::npos);
    rows = rowsOf(archive);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].offset, 4u);
    EXPECT_FALSE(rows[1].zip64Extra);
    expectToolsAccept(archive);
}
