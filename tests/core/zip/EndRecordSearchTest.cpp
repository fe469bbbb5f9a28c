#include "core/zip/EndRecordSearch.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

namespace quarvo {
namespace {

const std::string Signature("PK\x05\x06", 4);

// A file of the given length filled with a byte that cannot start a signature, with signatures
// written at the given offsets.
std::string fileWithSignaturesAt(size_t length, std::initializer_list<size_t> offsets)
{
    std::string bytes(length, 'x');
    for (size_t offset : offsets)
        bytes.replace(offset, Signature.size(), Signature);
    return bytes;
}

std::vector<uint64_t> search(const std::string& bytes,
                             EndRecordSearchMode mode = EndRecordSearchMode::AllHits)
{
    MemoryByteSource source({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    Result<std::vector<uint64_t>> hits = findEndRecordSignatures(source, mode);
    EXPECT_TRUE(hits.ok());
    return hits.ok() ? hits.value() : std::vector<uint64_t>{};
}

TEST(EndRecordSearch, FindsSignaturesWhereverTheSearchReaches)
{
    struct Case {
        const char* rule;
        size_t length;
        size_t at;
        bool found;
    };
    const Case cases[] = {
        {"straddles the first block boundary", 10000, 10000 - 4096 - 2, true},
        {"straddles a later block boundary", 30000, 30000 - 3 * 4096 - 1, true},
        {"last possible position", 10000, 10000 - 4, true},
        {"long file: block 15 is searched", 100000, 100000 - 61440, true},
        {"long file: one byte before the last block searched", 100000, 100000 - 61441, false},
        {"65535-byte file is searched whole", 65535, 0, true},
        {"65536-byte file: its first block is not", 65536, 0, false},
        {"65536-byte file: the last 61440 bytes are", 65536, 4096, true},
        {"short file: at its very start", 22, 0, true},
    };
    for (const Case& c : cases) {
        std::vector<uint64_t> hits = search(fileWithSignaturesAt(c.length, {c.at}));
        EXPECT_EQ(!hits.empty(), c.found) << c.rule;
        if (c.found && !hits.empty()) {
            EXPECT_EQ(hits.front(), c.at) << c.rule;
        }
    }
}

TEST(EndRecordSearch, TheSignatureNearestTheEndComesFirst)
{
    std::string bytes = fileWithSignaturesAt(20000, {100, 15000, 19000});
    EXPECT_EQ(search(bytes, EndRecordSearchMode::FirstHit), std::vector<uint64_t>{19000});
    EXPECT_EQ(search(bytes), (std::vector<uint64_t>{19000, 15000, 100}));
}

TEST(EndRecordSearch, NothingInFilesTooShortOrWithoutASignature)
{
    EXPECT_TRUE(search(Signature + std::string(17, '\0')).empty()); // 21 bytes
    EXPECT_TRUE(search(std::string(5000, 'x')).empty());
    EXPECT_TRUE(search(std::string(5000, 'x') + "PK\x05").empty()); // cut signature at the end
}

TEST(EndRecordSearch, ReadsTheRecordAndChecksWhereItPoints)
{
    testing::ZipBuilder builder;
    builder.add(testing::ZipBuilder::stored("a.txt", "alpha"));
    std::string archive = builder.finish({.comment = "comment"});
    MemoryByteSource source({reinterpret_cast<const uint8_t*>(archive.data()), archive.size()});
    std::vector<uint64_t> hits = search(archive);
    ASSERT_EQ(hits.size(), 1u);
    Result<EndRecordCandidate> candidate = readEndRecordAt(source, hits.front());
    ASSERT_TRUE(candidate.ok());
    EXPECT_EQ(candidate->fields.entriesTotal, 1);
    EXPECT_EQ(candidate->fields.commentLength, 7);
    EXPECT_TRUE(pointsAtCentralDirectory(source, candidate.value()));

    EndRecordCandidate wrongOffset = candidate.value();
    wrongOffset.fields.directoryOffset += 1;
    wrongOffset.fields.directorySize -= 1;
    EXPECT_FALSE(pointsAtCentralDirectory(source, wrongOffset));
    EndRecordCandidate longComment = candidate.value();
    longComment.fields.commentLength = 8;
    EXPECT_FALSE(pointsAtCentralDirectory(source, longComment));
    EndRecordCandidate countsLie = candidate.value();
    countsLie.fields.entriesTotal = countsLie.fields.entriesOnThisDisk = 1000;
    EXPECT_FALSE(pointsAtCentralDirectory(source, countsLie));
    EXPECT_FALSE(readEndRecordAt(source, archive.size() - 21).ok());
}

std::string le64(uint64_t value)
{
    std::string out;
    testing::putLE32(out, static_cast<uint32_t>(value));
    testing::putLE32(out, static_cast<uint32_t>(value >> 32));
    return out;
}

// An archive as Info-ZIP writes it with -fz or to a pipe: one stored entry, a ZIP64 end record and
// locator, and an end record whose offset field is saturated. The 64-bit values can be made to lie.
struct Zip64Values {
    uint64_t entries = 1;
    int64_t directorySize = -1;   // -1: the real one
    int64_t directoryOffset = -1; // -1: the real one
    int64_t recordOffset = -1;    // in the locator; -1: the real one
};

std::string zip64Archive(const Zip64Values& values = {}, const std::string& stub = {})
{
    testing::ZipBuilder builder;
    builder.add(testing::ZipBuilder::stored("a.txt", "alpha"));
    testing::ZipBuilder::Entry entry = builder.entries().front();
    std::string archive = builder.finish({});
    // Keep only the local header and data; write the directory by hand.
    archive.resize(30 + 5 + 5);
    const uint64_t directoryOffset = archive.size();
    entry.localHeaderOffset = 0xFFFFFFFF;
    entry.extra = std::string("\x01\x00\x08\x00", 4) + le64(0);
    archive += testing::ZipBuilder::centralHeader(entry);
    const uint64_t directorySize = archive.size() - directoryOffset;
    const uint64_t recordOffset = archive.size();
    archive += std::string("PK\x06\x06", 4) + le64(44) + std::string("\x1e\x03\x2d\x00", 4);
    archive += std::string(8, '\0') + le64(values.entries) + le64(values.entries);
    archive += le64(values.directorySize < 0 ? directorySize : uint64_t(values.directorySize));
    archive += le64(values.directoryOffset < 0 ? directoryOffset : uint64_t(values.directoryOffset));
    archive += std::string("PK\x06\x07", 4) + std::string(4, '\0');
    archive += le64(values.recordOffset < 0 ? recordOffset : uint64_t(values.recordOffset));
    archive += std::string("\x01\x00\x00\x00", 4);
    archive += testing::ZipBuilder::endRecord(0, 0, 1, 1, static_cast<uint32_t>(directorySize), 0xFFFFFFFF, "");
    return stub + archive;
}

DirectoryLocation locate(const std::string& archive)
{
    MemoryByteSource source({reinterpret_cast<const uint8_t*>(archive.data()), archive.size()});
    std::vector<uint64_t> hits = search(archive, EndRecordSearchMode::FirstHit);
    EXPECT_EQ(hits.size(), 1u);
    Result<EndRecordCandidate> candidate = readEndRecordAt(source, hits.empty() ? 0 : hits.front());
    EXPECT_TRUE(candidate.ok());
    return candidate.ok() ? locateDirectory(source, candidate.value()) : DirectoryLocation{};
}

using Fit = DirectoryLocation::Fit;

TEST(DirectoryLocation, DataInFrontOfTheArchiveShiftsEveryPosition)
{
    testing::ZipBuilder builder;
    builder.add(testing::ZipBuilder::stored("a.txt", "alpha"));
    const std::string archive = builder.finish();
    DirectoryLocation plain = locate(archive);
    EXPECT_EQ(plain.fit, Fit::Exact);
    EXPECT_EQ(plain.prependedLength, 0u);

    const std::string stub(1000, 'S');
    DirectoryLocation shifted = locate(stub + archive);
    EXPECT_EQ(shifted.fit, Fit::Shifted);
    EXPECT_EQ(shifted.prependedLength, stub.size());
    EXPECT_EQ(shifted.start, plain.start + stub.size());
    EXPECT_EQ(shifted.entriesTotal, 1u);
}

TEST(DirectoryLocation, ADirectoryBeforeItsRecordedOffsetIsDamage)
{
    // The recorded offset lies past the directory: the difference would point before the start of
    // the file, and nothing is read that way.
    testing::ZipBuilder builder;
    builder.add(testing::ZipBuilder::stored("a.txt", "alpha"));
    const std::string archive = builder.finish({.directoryOffset = 40 + 8, .comment = {}});
    EXPECT_EQ(locate(archive).fit, Fit::None);
    // A directory whose size reaches before the start of the file.
    testing::ZipBuilder tooLong;
    tooLong.add(testing::ZipBuilder::stored("a.txt", "alpha"));
    EXPECT_EQ(locate(tooLong.finish({.directorySize = 5000, .directoryOffset = 0, .comment = {}})).fit, Fit::None);
}

TEST(DirectoryLocation, Zip64RecordsWithSmallValuesAreRead)
{
    const std::string archive = zip64Archive();
    DirectoryLocation plain = locate(archive);
    EXPECT_EQ(plain.fit, Fit::Exact);
    // The plain check still wants the directory to end at the end record itself: the compression
    // engine rewrites only archives without ZIP64 records.
    MemoryByteSource source({reinterpret_cast<const uint8_t*>(archive.data()), archive.size()});
    Result<EndRecordCandidate> candidate = readEndRecordAt(source, archive.size() - 22);
    ASSERT_TRUE(candidate.ok());
    EXPECT_FALSE(pointsAtCentralDirectory(source, candidate.value()));
    EXPECT_EQ(plain.start, 40u);
    EXPECT_EQ(plain.entriesTotal, 1u);

    DirectoryLocation shifted = locate(zip64Archive({}, std::string(300, 'S')));
    EXPECT_EQ(shifted.fit, Fit::Shifted);
    EXPECT_EQ(shifted.start, 340u);
    EXPECT_EQ(shifted.prependedLength, 300u);
}

TEST(DirectoryLocation, LyingZip64ValuesAreRefused)
{
    // A directory offset or size that does not fit the file, at 64 bits or 32.
    EXPECT_EQ(locate(zip64Archive({.directoryOffset = int64_t{1} << 33})).fit, Fit::None);
    EXPECT_EQ(locate(zip64Archive({.directoryOffset = 0x7FFFFFFF})).fit, Fit::None);
    EXPECT_EQ(locate(zip64Archive({.directoryOffset = 10})).fit, Fit::None);
    // A locator pointing nowhere, and one pointing before the file start of a shifted archive.
    EXPECT_EQ(locate(zip64Archive({.recordOffset = 3})).fit, Fit::None);
    EXPECT_EQ(locate(zip64Archive({.recordOffset = 0xFFFFFFFFFFFF})).fit, Fit::None);
    // With data in front, the record must move by the same length as the directory.
    EXPECT_EQ(locate(zip64Archive({.directoryOffset = 20}, std::string(300, 'S'))).fit, Fit::None);
}

} // namespace
} // namespace quarvo
