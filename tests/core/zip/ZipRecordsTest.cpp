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

} // namespace
} // namespace quarvo
