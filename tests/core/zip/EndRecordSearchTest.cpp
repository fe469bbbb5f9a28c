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

} // namespace
} // namespace quarvo
