#include "core/zip/ZipRecords.h"
#include "core/base/ByteReader.h"
#include "core/zip/ZipFormat.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

namespace quarvo {
namespace {

using testing::ZipBuilder;

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(ByteReader, FailsStickilyInsteadOfReadingPastTheEnd)
{
    const std::string bytes("\x01\x02\x03", 3);
    ByteReader reader(bytesOf(bytes));
    EXPECT_EQ(reader.readLE16(), 0x0201);
    EXPECT_EQ(reader.readLE16(), 0); // one byte left: fails, consumes nothing
    EXPECT_FALSE(reader.ok());
    EXPECT_EQ(reader.readU8(), 0); // the failure sticks even though a byte remains
    EXPECT_EQ(reader.remaining(), 0u);
    EXPECT_TRUE(ByteReader(bytesOf(bytes)).take(4).empty());
}

TEST(ZipRecords, ParsesCentralHeaderWrittenByAnIndependentWriter)
{
    ZipBuilder::Entry entry = ZipBuilder::stored("dir/file.txt", "hello");
    entry.extra = std::string("\x55\x54\x01\x00\x01", 5);
    entry.comment = "note";
    entry.localHeaderOffset = 0x12345678;
    entry.externalAttributes = 0x81A40000;
    std::string record = ZipBuilder::centralHeader(entry) + "trailing";
    Result<CentralHeader> header = parseCentralHeader(bytesOf(record));
    ASSERT_TRUE(header.ok()) << header.error().message;
    EXPECT_EQ(header->fields.crc32, testing::crc32Of("hello"));
    EXPECT_EQ(header->fields.compressedSize, 5u);
    EXPECT_EQ(header->fields.localHeaderOffset, 0x12345678u);
    EXPECT_EQ(header->fields.externalAttributes, 0x81A40000u);
    EXPECT_EQ(std::string(header->name.begin(), header->name.end()), "dir/file.txt");
    EXPECT_EQ(header->extra.size(), 5u);
    EXPECT_EQ(std::string(header->comment.begin(), header->comment.end()), "note");
    EXPECT_EQ(header->recordSize, record.size() - 8);
}

TEST(ZipRecords, RejectsLengthsThatRunPastTheBytesGiven)
{
    ZipBuilder::Entry entry = ZipBuilder::stored("name", "x");
    entry.comment = "comment";
    std::string central = ZipBuilder::centralHeader(entry);
    for (size_t cut = 0; cut < central.size(); ++cut)
        EXPECT_FALSE(parseCentralHeader(bytesOf(central.substr(0, cut))).ok()) << cut;

    ZipBuilder builder;
    builder.add(ZipBuilder::stored("local-name", ""));
    std::string local = builder.finish().substr(0, zipformat::LocalHeaderSize + 10);
    ASSERT_TRUE(parseLocalHeader(bytesOf(local)).ok());
    for (size_t cut = 0; cut < local.size(); ++cut)
        EXPECT_FALSE(parseLocalHeader(bytesOf(local.substr(0, cut))).ok()) << cut;
}

TEST(ZipRecords, RejectsWrongSignatures)
{
    std::string central = ZipBuilder::centralHeader(ZipBuilder::stored("a", "b"));
    EXPECT_FALSE(parseLocalHeader(bytesOf(central)).ok());
    central[3] = 0x03;
    EXPECT_FALSE(parseCentralHeader(bytesOf(central)).ok());
}

TEST(ZipRecords, WritersRoundTripThroughTheParsers)
{
    CentralHeaderFields fields{0x0314, 20, 0x0808, 8, 0x1234, 0x5678, 0xDEADBEEF, 100,
                               200,    0,  0,      0, 1,      1,      0x10,       999};
    std::vector<uint8_t> out;
    appendCentralHeader(out, fields, "a/b", "xyzw", "c");
    Result<CentralHeader> central = parseCentralHeader(out);
    ASSERT_TRUE(central.ok());
    EXPECT_EQ(central->fields.crc32, 0xDEADBEEFu);
    EXPECT_EQ(central->fields.nameLength, 3);
    EXPECT_EQ(central->fields.extraLength, 4);
    EXPECT_EQ(central->fields.commentLength, 1);
    EXPECT_EQ(central->fields.localHeaderOffset, 999u);
    EXPECT_EQ(central->recordSize, out.size());

    out.clear();
    LocalHeaderFields local{20, 8, 8, 1, 2, 3, 4, 5, 0, 0};
    appendLocalHeader(out, local, "name");
    Result<LocalHeader> parsedLocal = parseLocalHeader(out);
    ASSERT_TRUE(parsedLocal.ok());
    EXPECT_EQ(parsedLocal->fields.uncompressedSize, 5u);
    EXPECT_EQ(parsedLocal->recordSize, out.size());

    out.clear();
    appendEndRecord(out, EndRecordFields{1, 2, 3, 4, 5, 6, 0}, "hi");
    ASSERT_EQ(out.size(), zipformat::EndRecordSize + 2);
    Result<EndRecordFields> end = parseEndRecordFields(std::span(out).subspan(4));
    ASSERT_TRUE(end.ok());
    EXPECT_EQ(end.value(), (EndRecordFields{1, 2, 3, 4, 5, 6, 2}));
}

TEST(ZipRecords, DataDescriptorWithAndWithoutSignature)
{
    std::string withSignature, without;
    testing::putLE32(withSignature, zipformat::DataDescriptorSignature);
    for (std::string* out : {&withSignature, &without}) {
        testing::putLE32(*out, 0xCAFEF00D);
        testing::putLE32(*out, 10);
        testing::putLE32(*out, 20);
    }
    Result<DataDescriptor> first = parseDataDescriptor(bytesOf(withSignature));
    Result<DataDescriptor> second = parseDataDescriptor(bytesOf(without));
    ASSERT_TRUE(first.ok() && second.ok());
    EXPECT_EQ(first->recordSize, 16u);
    EXPECT_EQ(second->recordSize, 12u);
    EXPECT_EQ(first->crc32, 0xCAFEF00Du);
    EXPECT_EQ(second->crc32, 0xCAFEF00Du);
    EXPECT_EQ(first->uncompressedSize, 20u);
    EXPECT_FALSE(parseDataDescriptor(bytesOf(without.substr(0, 11))).ok());
}

TEST(ZipRecords, FindsExtraBlocksAndStopsAtOverrunningOnes)
{
    std::string extra;
    testing::putLE16(extra, 0x5455); // extended timestamp, 5 bytes
    testing::putLE16(extra, 5);
    extra += std::string(5, 'T');
    testing::putLE16(extra, 0x0001); // zip64, 8 bytes
    testing::putLE16(extra, 8);
    extra += std::string(8, 'Z');
    auto zip64 = findExtraBlock(bytesOf(extra), zipformat::extra::Zip64);
    ASSERT_TRUE(zip64.has_value());
    EXPECT_EQ(zip64->size(), 8u);
    EXPECT_FALSE(findExtraBlock(bytesOf(extra), zipformat::extra::WinZipAes).has_value());

    std::string lying;
    testing::putLE16(lying, 0x0001);
    testing::putLE16(lying, 0xFFFF); // claims far more than there is
    lying += "abc";
    EXPECT_FALSE(findExtraBlock(bytesOf(lying), zipformat::extra::Zip64).has_value());
}

std::string zip64Block(std::initializer_list<uint64_t> values)
{
    std::string block("\x01\x00", 2);
    testing::putLE16(block, static_cast<uint16_t>(8 * values.size()));
    for (uint64_t value : values) {
        testing::putLE32(block, static_cast<uint32_t>(value));
        testing::putLE32(block, static_cast<uint32_t>(value >> 32));
    }
    return block;
}

TEST(ZipRecords, Zip64ExtraFieldsFillOnlyTheSaturatedFields)
{
    constexpr uint32_t S = zipformat::Max32;
    constexpr uint64_t FileSize = 10000;
    struct Case {
        uint32_t uncompressed, compressed, offset;
        std::string extra;
        Zip64Fields expected;
        uint64_t resultUncompressed, resultCompressed, resultOffset; // unless Damaged
    };
    const Case cases[] = {
        // Info-ZIP's local header and central header when writing to a pipe.
        {S, S, 0, zip64Block({6, 6}), Zip64Fields::Resolved, 6, 6, 0},
        {6, 6, S, zip64Block({0x40}), Zip64Fields::Resolved, 6, 6, 0x40},
        {S, 6, S, zip64Block({7, 0x80}), Zip64Fields::Resolved, 7, 6, 0x80},
        // Nothing saturated: the block is not even looked at.
        {6, 6, 0, zip64Block({1ULL << 40}), Zip64Fields::Resolved, 6, 6, 0},
        // A value that needs 64 bits is kept whole; a saturated field with no block for it stays.
        {S, S, 0, zip64Block({1ULL << 33, 100}), Zip64Fields::Resolved, 1ULL << 33, 100, 0},
        {S, 6, 0, "", Zip64Fields::TooLarge, S, 6, 0},
        // Lies: a compressed size or offset past the end of the file, a block too short.
        {6, S, 0, zip64Block({FileSize + 1}), Zip64Fields::Damaged, 0, 0, 0},
        {6, 6, S, zip64Block({1ULL << 40}), Zip64Fields::Damaged, 0, 0, 0},
        {S, S, S, zip64Block({6, 6}), Zip64Fields::Damaged, 0, 0, 0},
    };
    for (const Case& c : cases) {
        CentralHeaderFields fields;
        fields.uncompressedSize = c.uncompressed;
        fields.compressedSize = c.compressed;
        fields.localHeaderOffset = c.offset;
        WideHeaderValues values;
        EXPECT_EQ(widenCentralFields(fields, bytesOf(c.extra), FileSize, values), c.expected)
            << c.resultUncompressed << " " << c.resultCompressed << " " << c.resultOffset;
        if (c.expected != Zip64Fields::Damaged) {
            EXPECT_EQ(values.uncompressedSize, c.resultUncompressed);
            EXPECT_EQ(values.compressedSize, c.resultCompressed);
            EXPECT_EQ(values.localHeaderOffset, c.resultOffset);
        }
    }
    // A local header has no offset field: its block holds the two sizes only.
    LocalHeaderFields local;
    local.uncompressedSize = local.compressedSize = S;
    WideHeaderValues values;
    EXPECT_EQ(widenLocalFields(local, bytesOf(zip64Block({3, 2})), FileSize, values), Zip64Fields::Resolved);
    EXPECT_EQ(values.uncompressedSize, 3u);
    EXPECT_EQ(values.compressedSize, 2u);
}

TEST(ZipRecords, WideValuesKeepSizesAndOffsetsPastFourGigabytes)
{
    constexpr uint32_t S = zipformat::Max32;
    constexpr uint64_t G5 = 5ULL << 30, FileSize = 6ULL << 30;
    std::string withDisk = zip64Block({G5});
    testing::putLE32(withDisk, 3); // the disk, four bytes
    withDisk[2] = static_cast<char>(withDisk.size() - 4);
    struct Case {
        uint32_t uncompressed, compressed, offset;
        uint16_t disk;
        std::string extra;
        Zip64Fields expected;
        WideHeaderValues result;
    };
    const Case cases[] = {
        {S, S, S, 0, zip64Block({G5, G5 - 1, G5 + 1}), Zip64Fields::Resolved, {G5, G5 - 1, G5 + 1, 0}},
        {S, 7, 0, 0, zip64Block({FileSize * 4}), Zip64Fields::Resolved, {FileSize * 4, 7, 0, 0}},
        {7, 7, S, 0xFFFF, withDisk, Zip64Fields::Resolved, {7, 7, G5, 3}},
        {7, S, 0, 0, zip64Block({FileSize + 1}), Zip64Fields::Damaged, {7, S, 0, 0}},
        {7, 7, 0, 0xFFFF, zip64Block({}), Zip64Fields::Damaged, {7, 7, 0, 0xFFFF}},
        {S, 7, 0, 0, "", Zip64Fields::TooLarge, {S, 7, 0, 0}},
    };
    for (const Case& c : cases) {
        CentralHeaderFields fields;
        fields.uncompressedSize = c.uncompressed;
        fields.compressedSize = c.compressed;
        fields.localHeaderOffset = c.offset;
        fields.diskNumberStart = c.disk;
        WideHeaderValues values;
        EXPECT_EQ(widenCentralFields(fields, bytesOf(c.extra), FileSize, values), c.expected) << c.result.uncompressedSize;
        if (c.expected != Zip64Fields::Damaged) {
            EXPECT_EQ(values, c.result) << c.result.uncompressedSize;
        }
    }
    LocalHeaderFields local;
    local.uncompressedSize = local.compressedSize = S;
    WideHeaderValues values;
    EXPECT_EQ(widenLocalFields(local, bytesOf(zip64Block({G5, 1ULL << 32})), FileSize, values), Zip64Fields::Resolved);
    EXPECT_EQ(values.uncompressedSize, G5);
    EXPECT_EQ(values.compressedSize, 1ULL << 32);
}

} // namespace
} // namespace quarvo
